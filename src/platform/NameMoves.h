#pragma once
// The renames that put a file under a user's name (a commit's output, a kept-aside file coming
// back). A name that is free is taken only while it is free, so that a file another run put
// there meanwhile is never replaced unseen: renameat2(RENAME_NOREPLACE) where the file system
// has it; elsewhere (FAT and exFAT through FUSE) a plain rename after looking that the name is
// free, both under one lock of the machine that every such rename of ours takes. Other programs
// do not take that lock; against them the look narrows the window to a few microseconds.
#include <QByteArray>

#include <functional>

namespace NameMoves {

// Renames from (in folder fromDir) to to (in folder toDir) when to is free. False with errno
// EEXIST when to is taken, or the errno of the rename.
bool renameToFree(int fromDir, const QByteArray &from, int toDir, const QByteArray &to);

// Whether err says that the file system cannot make such a call at all (rather than that this
// call failed).
bool unsupported(int err);

// Tests: called before each file system call of a commit or a restore with its name ("link",
// "noreplace", "stage-aside", "exchange", "unstage-aside", "rename-away", "rename", "unlink",
// "restore"); a non-zero errno makes the call fail so, without making it.
void setCallHook(std::function<int(const char *call)> hook);
// Whether call may go ahead; false (errno set) when the hook fails it.
bool allowed(const char *call);

} // namespace NameMoves
