#include "PdfSecurityRules.h"

PdfPermissionChoices DecodePermissionMask(int mask)
{
    PdfPermissionChoices c;
    c.printing = (mask & kPermPrintHigh) ? 2 : (mask & kPermPrintLow) ? 1 : 0;
    if ((mask & kPermAnyExceptExtract) == kPermAnyExceptExtract)
        c.changes = 4;
    else if (mask & kPermComments)
        c.changes = 3;
    else if (mask & kPermForms)
        c.changes = 2;
    else if (mask & kPermAssembly)
        c.changes = 1;
    c.accessibility = (mask & kPermAccessibility) != 0;
    c.copy = (mask & kPermCopy) != 0;
    return c;
}

int EncodePermissionMask(const PdfPermissionChoices &c)
{
    int mask = 0;
    if (c.printing == 2)
        mask += kPermPrintHigh;
    else if (c.printing == 1)
        mask += kPermPrintLow;
    switch (c.changes) {
    case 4: mask += kPermAnyExceptExtract; break;
    case 3: mask += kPermComments; break;
    case 2: mask += kPermForms; break;
    case 1: mask += kPermAssembly; break;
    default: break;
    }
    if (c.accessibility)
        mask += kPermAccessibility;
    if (c.copy)
        mask += kPermCopy;
    return mask;
}

QString PdfPasswordProblem(bool usePermissionsPassword, const QString &permissionsPassword,
                           bool useOpenPassword, const QString &openPassword)
{
    if (usePermissionsPassword && permissionsPassword.isEmpty())
        return QStringLiteral("The 'Use a password to restrict printing and editing of the ") +
               QStringLiteral("document and its security settings option' is selected, but the Permissions ") +
               QStringLiteral("Password field is empty. Please enter a password or deselect the security option.");
    if (useOpenPassword && openPassword.isEmpty())
        return QStringLiteral("The 'Require a password to open the document' option is selected, ") +
               QStringLiteral("but the Document Open Password field is empty. Please enter a password or deselect ") +
               QStringLiteral("the security option.");
    if (usePermissionsPassword && useOpenPassword && permissionsPassword == openPassword)
        return QStringLiteral("The Document Open and Permissions passwords cannot be the same. ") +
               QStringLiteral("Please enter a different password in either the Document Open Password field or ") +
               QStringLiteral("the Permission Password field.");
    return QString();
}
