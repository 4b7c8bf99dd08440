#pragma once
// First-run copy of the demo and language folders into the per-user data folder.
void InstallDemoFiles();
