#!/bin/sh
# Converts one demo presentation to PDF and writes a log beside it.
# QUORVANE may name the program; otherwise it is looked up on the PATH.
QUORVANE=${QUORVANE:-quorvane}
DATA="${XDG_CONFIG_HOME:-$HOME/.config}/Ornwell, Inc/Quorvane"
mkdir -p "$DATA/Demo Output"
"$QUORVANE" /S "$DATA/Demo Data/Quarterly Review.pptx" /T "$DATA/Demo Output/Quarterly Review.pdf" /C 32 /L "$DATA/Demo Output/convert-one.log"
