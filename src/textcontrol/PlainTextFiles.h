#pragma once
// The two plain-text file tools of the special processes. Results: 0 done, -2 the target
// could not be written (or its folder created), -3 the original could not be read, -6 the
// original and the target are the same file.
#include <QString>

// Appends the original's text to the end of the target (created when missing). The target
// keeps its encoding: the original is re-encoded when the two differ, and its byte order
// mark is not copied into the middle of the target.
int ConcatenateTwoTextFiles(const QString &sOriginalFile, const QString &sTargetFile);
// Writes the original without its empty lines (lines of blanks, tabs, vertical tabs and form
// feeds only) to the target, keeping the encoding and each kept line's own line end.
int DeleteEmptyLinesFromTextFile(const QString &sOriginalFile, const QString &sTargetFile);
