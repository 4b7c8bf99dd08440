#pragma once
// Settings written into a worker's LibreOffice profile before the office starts.
//
// A worker never needs document locks: it opens originals only to read them, and a worker that
// is killed would leave its ".~lock.<name>#" beside the user's file. And the office counts a
// start as the first of its version until the profile names that version as the last one run,
// which it writes only when it closes cleanly; a worker ends with _exit, so without the entry
// every start would repeat the first-start work (render tests and the like). The other entries
// of a completed first start are written once the office has filled the profile, since they
// tell it that the presets were copied and the extensions checked.
#include <QString>

namespace ProfileSettings {

// Writes the settings into profileFolder/user/registrymodifications.xcu, keeping every other
// entry; an entry of the same name is replaced. The office's version and build are read from
// its installation in programFolder. False when the file cannot be written.
bool seed(const QString &profileFolder, const QString &programFolder);

} // namespace ProfileSettings
