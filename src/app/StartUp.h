#pragma once
// Program start-up: settings file, per-user data folder, demo files, translator, help.

// bQuiet: a command line or an automation call is known, so no window or box may appear.
// bInstallDemo: copy the demo folders on the first run (the program does, the automation
// class does not).
void InitializeProgram(bool bQuiet, bool bInstallDemo);
// The program's start procedure; returns the process exit status.
int Main();
