#pragma once
// The interactive road of start-up: the please-wait window as a splash, then the frame with the
// main window at its stored place, then the splash goes.
#include <QString>

class frmMainMDI;

// Shows the splash, loads and shows the frame, hides the splash. sOpenJobFile: a job file to
// open into the window without running it ("" for a new job). The caller owns the frame.
frmMainMDI *ShowMainMDIWithSplash(const QString &sOpenJobFile = QString());
