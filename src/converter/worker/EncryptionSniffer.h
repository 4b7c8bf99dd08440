#pragma once
// Tells whether a file that the office could not open is encrypted. LibreOfficeKit asks for a
// password only for some formats (not for PDF imports, for example); for the others the file
// itself is looked at: an encrypted PDF, an OOXML package wrapped in an encrypted compound
// file, or an OpenDocument package with encrypted streams.
#include <QString>

namespace EncryptionSniffer {

bool isEncrypted(const QString &path);

} // namespace EncryptionSniffer
