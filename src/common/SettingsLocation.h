#pragma once
// Where the per-user settings file lives, found once per process. The search prefers a folder
// in which the file can really be written; each candidate is proven by writing a probe key.
#include <QString>

// Product number of this program.
constexpr int kQuorvaneProductId = 19;

// The settings file's full path for a product; "" when no candidate folder is writable. The
// first path found is kept: later calls return it without probing again.
QString GetIniFilePathForProduct(int lProductID);
// Base name of the settings file of the product last asked for ("Quorvane_SearchHistory";
// "ABC" for an unknown product).
QString GetProductIniBaseName();
// The product's name, also the folder below the maker's folder ("Quorvane"; "ABC" unknown).
QString GetProductDisplayName(int lProductID);
// sFile in "<special folder lCSIDL>/<sMaker>/<sProduct>/", or for lCSIDL 0 the first writable
// of: the program's folder, then the special folders 46, 28, 26, 5, 35. Returns the kept path
// when one was found before; "" when no candidate is writable (nothing is kept then).
QString ResolveIniFilePath(const QString &sFile, const QString &sMaker, const QString &sProduct,
                           int lCSIDL);
// Creates the file's folder when missing, then writes [Main] Partial = "level2" and, when that
// reads back, "Level3"; true only when both writes succeed and "Level3" reads back exactly.
bool bCanWriteIniFile(const QString &sIniFile);
// Forgets the kept path (tests, and a program that moves its settings).
void ResetIniFilePathCache();
// The settings folder that was refused because it belongs to someone else or cannot be made
// ours alone ("" when none was).
QString RefusedSettingsFolder();
