#pragma once
// Names of files that a run writes beside a user's files before they take their real names, so
// that anyone can tell whose they are and where they were made:
// ".<kind>-<pid>.<uid>@<host>~<machine>.<serial>-" and then the final name, shortened to fit.
// <machine> tells apart machines that share a host name and pid namespaces of one machine (a pid
// means nothing outside its namespace). The kinds are "qvpart" (a file being written), "qvprev"
// (a target that a commit replaces, kept aside until every rename has succeeded) and "qvname" (an
// output waiting for a name that is not text). The serial of a "qvprev" is the inode of the file
// that replaces the kept one, so that a clean-up can tell the commit's own output from anyone
// else's (and, where a commit swaps names, the new file under that name from the old one). A kept-aside name too long to stand whole after the owner part is a "qvprev" folder
// holding the file under its exact name.
#include <QString>

#include <optional>

namespace StagedNames {

enum class Kind { Part, Prev, Name };

// Who made a name (or LibreOffice's lock file of such a name). Names of earlier versions
// (without the machine part) give nothing: they are left alone.
struct Origin
{
    Kind kind = Kind::Part;
    qint64 pid = 0;
    uint uid = 0;
    quint64 serial = 0;
    QString host;
    // What follows the owner part: the final name, shortened when it had to be.
    QString tail;
    // The owner part itself (".qvprev-...-").
    QString prefix;
};
std::optional<Origin> originOf(const QString &fileName);
// Whether origin is this user's on this machine (its pid can then be looked up). Never when this
// machine could not be told apart from others (no boot id or pid namespace to read).
bool isOwnHere(const Origin &origin);
// This machine as the names carry it: the host name, "~", and eight hex digits of the boot and
// the pid namespace.
QString hostTag();
// The name of name for process pid of this user and host, shortened to fit.
QString forProcess(qint64 pid, quint64 serial, const QString &name, Kind kind = Kind::Part);
// A fresh name of the given kind for this process.
QString ownName(Kind kind, const QString &name);
// name shortened as a name with this owner prefix shortens it.
QString fittedTail(const QString &prefix, const QString &name);
// Whether origin's tail is a whole name: so much shorter than the longest that fits that it was
// never shortened.
bool isWholeTail(const Origin &origin);

} // namespace StagedNames
