#pragma once
// INI files with the semantics of the Windows profile functions: section and key names
// compare case-insensitively, a missing key gives the default, values are trimmed, a key is
// rewritten in place or appended at the end of its section, a new section goes at the end of
// the file. The file is re-read on every call (other processes may change it); the folder is
// never created. Written as UTF-8 with CRLF; a file written has mode 0600.
#include <QList>
#include <QPair>
#include <QString>

class ProfileIni
{
public:
    using KeyValues = QList<QPair<QString, QString>>;

    static QString readString(const QString &file, const QString &section, const QString &key,
                              const QString &defaultValue);
    // Leading integer of the value (optional sign), else the default.
    static int readInt(const QString &file, const QString &section, const QString &key,
                       int defaultValue);
    // False when the file cannot be written (the folder is missing, no permission); the file
    // is then as it was. A file written is owner-only (0600), whatever mode it had before.
    static bool writeString(const QString &file, const QString &section, const QString &key,
                            const QString &value);
    // Several keys of one section in one read and one write (a window's whole state at close):
    // the file comes out byte for byte as writing them one by one in this order would leave it.
    // An empty list writes nothing.
    static bool writeStrings(const QString &file, const QString &section, const KeyValues &keyValues);
    // Removes a key; true when the file was written or the key was absent.
    static bool deleteKey(const QString &file, const QString &section, const QString &key);
    // Takes the rights of group and others off a file of ours without writing it (a file read
    // that holds a password). A file of another user is left alone (false).
    static bool makeOwnerOnly(const QString &file);
};
