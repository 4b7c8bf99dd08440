#pragma once
// A text file cut short by a crash: the file system had already recorded its length, but not the
// last blocks of its data, which read back as NUL bytes.
#include <QByteArray>

// Where the text of bytes ends when a damaged tail follows it: the index of the first NUL of a
// run of NUL bytes that reaches the end of bytes and begins right after a line end (CR or LF) or
// at the very start. bytes.size() when there is no such tail: no NUL at the end, or NULs that
// follow part of a line (that line may be cut, and a NUL anywhere else is not damage of this
// kind; the caller decides what such bytes are).
qsizetype TextEndBeforeNulTail(const QByteArray &bytes);
