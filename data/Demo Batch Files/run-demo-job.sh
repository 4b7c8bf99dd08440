#!/bin/sh
# Runs a demo conversion job; failed files are written to a results job file.
QUORVANE=${QUORVANE:-quorvane}
DATA="${XDG_CONFIG_HOME:-$HOME/.config}/Ornwell, Inc/Quorvane"
JOB=${1:-Convert to PDF.qvj}
mkdir -p "$DATA/Demo Output"
"$QUORVANE" /J "$DATA/Demo Conversion Jobs/$JOB" /L "$DATA/Demo Output/demo-job.log" /B "$DATA/Demo Output/demo-job-failures.qvj"
