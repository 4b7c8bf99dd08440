#pragma once
// The per-user runtime folder that Qt expects in $XDG_RUNTIME_DIR. A start from cron, ssh or a
// script often lacks the variable; Qt then warns on every run and falls back to a folder of
// its own choosing.

// When XDG_RUNTIME_DIR is unset or empty: sets it to a private folder of ours, made with mode
// 0700 and owned by us (<temp>/quorvane-runtime-<uid>, or a fresh one when that name is taken by
// anything else). Call before the application object is made. Does nothing when it is set.
void EnsureRuntimeFolder();
