#pragma once
// The PDF security choices of the option dialogs: the permission mask both ways and the
// password checks, without widgets.
#include <QString>

// Permission bits of the mask the PDF writer receives.
enum PdfPermissionBit : int {
    kPermComments = 1,      // commenting, filling in form fields and signing
    kPermForms = 2,         // filling in form fields and signing
    kPermAccessibility = 4, // text access for screen readers
    kPermAssembly = 8,      // inserting, deleting and rotating pages
    kPermCopy = 16,         // copying of text, images and other content
    kPermAnyChange = 32,    // only together with 1 and 8
    kPermPrintHigh = 64,
    kPermPrintLow = 128,
};
constexpr int kPermAnyExceptExtract = kPermComments | kPermAssembly | kPermAnyChange; // 41

// List positions of the two permission lists and the two boxes.
struct PdfPermissionChoices
{
    int printing = 0; // 0 none, 1 low resolution, 2 high resolution
    int changes = 0;  // 0 none, 1 pages, 2 forms, 3 comments and forms, 4 any except extracting pages
    bool accessibility = false;
    bool copy = false;
};

// The choices a stored mask shows. Every bit of a 32-bit mask is tested (a mask above the
// 16-bit range is not cut); high resolution wins over low, "any" over the single changes.
PdfPermissionChoices DecodePermissionMask(int mask);
// The mask of the choices; positions outside a list add nothing.
int EncodePermissionMask(const PdfPermissionChoices &choices);

// The first failing of the three ordered password checks, as its message; "" when they pass.
QString PdfPasswordProblem(bool usePermissionsPassword, const QString &permissionsPassword,
                           bool useOpenPassword, const QString &openPassword);
