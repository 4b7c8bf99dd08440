#pragma once
// Removal of what a killed worker or a killed program left in a target folder: its staged
// outputs and the temporary files LibreOffice writes beside a document it saves. Such a folder
// may be shared with other users and other machines, so only what this user owns goes, and
// nothing is ever followed through a link.
#include <QString>

#include <functional>

namespace LeftoverRemoval {

// Removes each entry of folder whose name ours accepts and which this user owns: a file or a
// link itself, a folder with everything in it. A folder that was swapped for another (or for a
// link) between the look and the removal is left alone.
void removeOwn(const QString &folder, const std::function<bool(const QString &name)> &ours);

// Whether name is a temporary file that LibreOffice in process pid writes beside a document it
// saves: "lu", the pid, one to six base-36 digits, ".tmp". The digits after the pid may also be
// read as a longer pid's ("lu1234ab.tmp" is pid 123's or pid 1234's): while a process of that
// longer pid runs, the name is taken for its own.
bool isOfficeTempOf(const QString &name, qint64 pid);

} // namespace LeftoverRemoval
