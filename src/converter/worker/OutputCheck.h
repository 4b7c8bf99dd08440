#pragma once
// Whether a file that LibreOffice saved is whole: the office reports a save as done by its own
// account, and a file cut short on the way (a full disk, a quota, a file system that reports its
// errors late) must not take a target's place. Each form is judged by where its own structure
// says it ends.
#include <QString>

#include <optional>

namespace OutputCheck {

enum class Form {
    Pdf, // ends with "%%EOF"
    Zip, // PPTX, ODP, DOCX, ODT: the central directory ends the file where its end record says
    Compound, // PPT, POT, DOC: every sector that the allocation table uses is in the file
    Png, // ends with the IEND chunk
    Rtf, // the outermost group closes
};

// The form of LibreOffice's short format name ("pdf", "pptx", "ppt", "png", ...); none for
// formats whose end cannot be told (plain text, HTML).
std::optional<Form> formOf(const QString &format);

// Whether the file at path is a whole file of its form.
bool isWhole(const QString &path, Form form);

} // namespace OutputCheck
