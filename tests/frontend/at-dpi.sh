#!/bin/sh
# Runs a Windows test program with the Wine prefix's screen resolution (LogPixels) set to DPI, and
# tells the program the resolution in VELKORIN_TEST_DPI; the prefix's setting is removed afterwards.
#   at-dpi.sh RUN_WINE DPI PROGRAM [ARGS...]
set -eu
run_wine=$1 dpi=$2
shift 2
key='HKCU\Control Panel\Desktop'
"$run_wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
trap '"$run_wine" reg delete "$key" /v LogPixels /f >/dev/null' EXIT
VELKORIN_TEST_DPI=$dpi "$run_wine" "$@"
