#pragma once
// Operating-system facts for the about box and the settings-file search. Each is worked out on
// its first request and kept for the life of the process.
#include <QString>

// A description such as "Debian GNU/Linux 12 (bookworm), 64-bit (Linux 6.1.0-18-amd64)";
// "GetWinVerInfo Error 2" when nothing about the system could be learnt.
QString GetWinVerInfo();
// Linux has no server edition of the kind the settings search cares about: always false.
bool bIsWindowsServer();
// Every Linux system keeps per-user settings in the per-user configuration folder, the way the
// newer systems do: always true, so the settings file is searched there only.
bool bIsVistaOrLater();

// The description from the text of an os-release file and the uname fields; "" when all are
// empty. Kept apart from the cached accessors so that any system can be described.
QString DescribeOperatingSystem(const QString &osReleaseText, const QString &sysname,
                                const QString &release, const QString &machine);
