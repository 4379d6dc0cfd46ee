#!/usr/bin/env bash
# Qarvel.exe with the bridge beside it compresses a real image under Wine (the work is done by
# qarvel_bridge_e2e_test); the NEW.CHD it made must verify and give back the image's bytes.
#   bridge_qarvel_test.sh TEST.exe WINEPREFIX WORK_DIR
set -uo pipefail
TEST_EXE=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
WORK=$3
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
unset QARVEL_CHDMAN

rm -rf "$WORK" && mkdir -p "$WORK/src"
head -c 200000 /dev/urandom >"$WORK/src/data.bin"
ISO="$WORK/game.iso"
xorriso -as mkisofs -quiet -V BRIDGETEST -o "$ISO" "$WORK/src" 2>/dev/null ||
  { echo "xorriso could not make the image" >&2; exit 1; }

start=$(date +%s%N)
if [ -n "${DISPLAY:-}" ]; then
  wine "$TEST_EXE" "$(windows_path "$ISO")" "$(windows_path "$WORK/result.chd")"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    wine "$TEST_EXE" "$(windows_path "$ISO")" "$(windows_path "$WORK/result.chd")"
fi || fail "the run through Qarvel.exe"
echo "Qarvel run took $((($(date +%s%N) - start) / 1000000)) ms"

chdman verify -i "$WORK/result.chd" >/dev/null 2>&1 || fail "chdman verify of NEW.CHD"
chdman extractcd -i "$WORK/result.chd" -o "$WORK/back.cue" -ob "$WORK/back.bin" >/dev/null 2>&1 ||
  fail "chdman extractcd of NEW.CHD"
cmp -s -n "$(stat -c %s "$ISO")" "$ISO" "$WORK/back.bin" || fail "NEW.CHD holds other data"
finish
