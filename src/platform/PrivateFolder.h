#pragma once
// Folders and files that the program keeps for itself (office profiles, caches, settings) are
// its user's alone, whatever the umask: another local user who could write into them could
// plant settings or macros that our processes then run.
#include <QString>

#include <sys/types.h>

// Makes folder (and every missing folder above it) with mode 0700. A folder that exists is
// used when it belongs to us, its mode then tightened to 0700 where the file system keeps
// modes (with bOthersMayRead only the group's and others' write rights go: a folder the user
// opened for reading, of shared jobs say, stays readable); one that belongs to someone else, or
// is no folder, is refused: false, and *why says so in a line that names it.
bool EnsurePrivateFolder(const QString &folder, QString *why = nullptr, bool bOthersMayRead = false);

// Takes the group's and others' rights from every file and folder of ours below folder (links
// are left alone): what a library made there under the user's umask becomes ours alone again.
void TightenPrivateTree(const QString &folder);

// Sets the umask to 077 so that everything the process makes from now on is private, and
// returns the umask it had (the user's, which outputs meant for the user still take).
mode_t KeepNewFilesPrivate();

// The umask given for the scope of the object (the user's, while user outputs are written),
// the earlier one again at its end.
class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask &) = delete;
    ScopedUmask &operator=(const ScopedUmask &) = delete;

private:
    mode_t m_previous;
};
