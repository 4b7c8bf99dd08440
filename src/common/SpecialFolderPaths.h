#pragma once
// Special folders by CSIDL number, as texts the path helpers use.
#include <QString>

// The folder, or "Special Folder Does Not Exist" / "Folder Not Valid On this OS".
QString GetSpecialFolderPath(int lCSIDL);
// The folder, or "(error)".
QString GetSpecialFolderPathFixed(int lCSIDL);
