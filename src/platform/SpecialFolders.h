#pragma once
// Linux folders that stand in for the Windows special folders (CSIDL numbers).
#include <QString>

namespace SpecialFolders {

enum Csidl {
    Documents = 5,
    AppData = 26,
    LocalAppData = 28,
    CommonAppData = 35,
    Windows = 36,
    ProgramFiles = 38,
    Profile = 40,
    ProgramFilesX86 = 42,
    CommonDocuments = 46,
};

// The folder for a CSIDL number, without a trailing "/"; a null string when the folder has no
// Linux counterpart. *known is false for numbers this layer does not know at all.
QString path(int csidl, bool *known = nullptr);

} // namespace SpecialFolders
