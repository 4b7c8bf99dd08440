#pragma once
// PPSX and POTX are PPTX packages whose main part has another content type. LibreOffice only
// writes PPTX, so the package's [Content_Types].xml is rewritten in place.
#include <QString>

namespace PackageRetyper {

enum class PresentationKind { Presentation, Slideshow, Template };

// Changes the main content type of the PPTX package at path; false when the file is not a
// PPTX package or cannot be rewritten.
bool retype(const QString &path, PresentationKind kind);

} // namespace PackageRetyper
