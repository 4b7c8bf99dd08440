#pragma once
// The product's web addresses and support address, kept in one place so that menus, dialogs
// and help fall back to the same pages.
#include <QString>

namespace ProductLinks {

inline const QString kHomePage = QStringLiteral("https://www.ornwell.com/quorvane/");
inline const QString kOnlineHelp = QStringLiteral("https://www.ornwell.com/quorvane/help/");
inline const QString kProductUpdates = QStringLiteral("https://www.ornwell.com/quorvane/revisions/");
inline const QString kCommandLineHelp = QStringLiteral("https://www.ornwell.com/quorvane/help/command-line/");
inline const QString kLanguagesHelp = QStringLiteral("https://www.ornwell.com/quorvane/help/languages/");
inline const QString kMakerHomePage = QStringLiteral("https://www.ornwell.com/");
inline const QString kSupportMail = QStringLiteral("support@ornwell.com");

} // namespace ProductLinks
