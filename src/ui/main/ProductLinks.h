#pragma once
// The product's web addresses, kept in one place (help menu, language chooser, about box).
#include <QString>

namespace ProductLinks {
inline QString homePage() { return QStringLiteral("https://www.ornwell.com/quorvane/"); }
inline QString makerHomePage() { return QStringLiteral("https://www.ornwell.com/"); }
inline QString onlineHelp() { return QStringLiteral("https://www.ornwell.com/quorvane/help/"); }
inline QString productUpdates() { return QStringLiteral("https://www.ornwell.com/quorvane/revision-history/"); }
inline QString commandLineHelp() { return QStringLiteral("https://www.ornwell.com/quorvane/help/command-line/"); }
inline QString languagesHelp() { return QStringLiteral("https://www.ornwell.com/quorvane/help/languages/"); }
// The maker's support address (the about box's mail button).
inline QString supportMail() { return QStringLiteral("support@ornwell.com"); }
} // namespace ProductLinks
