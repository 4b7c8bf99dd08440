#!/usr/bin/env bash
# Sets up, builds, and runs the program's main demo job unattended: every demo presentation
# (sub-folders included) to PDF. The first run copies the demo folders into
# ~/.config/Ornwell, Inc/Quorvane; output and log land in its "Demo Output" folder.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
DATA="${XDG_CONFIG_HOME:-$HOME/.config}/Ornwell, Inc/Quorvane"
status=0
./build/bin/quorvane /J "%APPDATA%/Ornwell, Inc/Quorvane/Demo Conversion Jobs/Convert to PDF.qvj" \
    /L "%APPDATA%/Ornwell, Inc/Quorvane/Demo Output/demo.log" || status=$?
cat "$DATA/Demo Output/demo.log"
find "$DATA/Demo Output/PDF" -name '*.pdf' | sort
exit $status
