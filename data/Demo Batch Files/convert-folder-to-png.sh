#!/bin/sh
# Converts every demo presentation, sub-folders included, to one PNG picture per slide.
QUORVANE=${QUORVANE:-quorvane}
DATA="${XDG_CONFIG_HOME:-$HOME/.config}/Ornwell, Inc/Quorvane"
"$QUORVANE" /S "$DATA/Demo Data/*.*" /R /T "$DATA/Demo Output/PNG/*.png" /C 18 /L "$DATA/Demo Output/convert-folder.log"
