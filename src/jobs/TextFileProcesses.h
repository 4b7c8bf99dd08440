#pragma once
// The text-file special processes of one file: append, remove empty lines, search and replace.
// Plain text (original type 1) of the first two goes through the plain-text tools; every other
// type through the session's two text controls.
#include <QString>

class JobSession;
class clsConversionOptions;

// Each returns an ItemResultCode: irSuccess, or irTargetOpenOrSaveFailed, irOriginalOpenFailed,
// irSourceIsTarget (the same file twice).
int ConcatenateFiles(JobSession &session, clsConversionOptions &options);
int DeleteEmptyLines(JobSession &session, clsConversionOptions &options);
int SearchAndReplaceInFile(JobSession &session, clsConversionOptions &options);

// Decodes the character-code form: text pieces alternate with decimal codes enclosed by the
// mark U+00A9 ("x©65©y" is "xAy"); codes 0-255 are Windows-1252 characters, larger ones
// Unicode. A piece between marks that is not a code, and an unclosed mark, stay as written.
QString DecodeCharacterCodes(const QString &sText);
