#!/usr/bin/env bash
# The chdman bridge under Wine with the real Linux chdman, started the way Qarvel starts it:
# cmd.exe /c chdman createcd -i "<image>" -o "<output>" in a folder holding chdman.exe. The CHD
# it makes must verify and give back the image's bytes.
#   bridge_chdman_test.sh BRIDGE.exe WINEPREFIX WORK_DIR
set -uo pipefail
BRIDGE=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
WORK=$3
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"
unset QARVEL_CHDMAN
for tool in chdman xorriso; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

rm -rf "$WORK" && mkdir -p "$WORK"
IMAGES="$WORK/rips ü & it's (2)"
PROGRAM="$WORK/program folder ß"
mkdir -p "$IMAGES" "$PROGRAM" "$WORK/src"
head -c 300000 /dev/urandom >"$WORK/src/data.bin"
echo "small text" >"$WORK/src/readme.txt"
ISO="$IMAGES/game ü.iso"
xorriso -as mkisofs -quiet -V BRIDGETEST -o "$ISO" "$WORK/src" 2>/dev/null ||
  { echo "xorriso could not make the image" >&2; exit 1; }
cp "$BRIDGE" "$PROGRAM/chdman.exe"
CHD="$PROGRAM/NEW.CHD"

echo "== createcd through cmd.exe and the bridge"
cd "$PROGRAM" || exit 1
start=$(date +%s%N)
run_wine cmd.exe /c chdman createcd -i "$(windows_path "$ISO")" -o "$(windows_path "$CHD")"
echo "createcd took $((($(date +%s%N) - start) / 1000000)) ms"
expect_eq "exit code" 0 "$rc"
expect_contains "chdman's own output" "$WORK/out.txt" "Input file:   $ISO"
expect_contains "chdman's progress" "$WORK/err.txt" "Compression complete"

echo "== the CHD verifies and holds the image"
chdman verify -i "$CHD" >"$WORK/verify.txt" 2>&1 || { fail "chdman verify"; cat "$WORK/verify.txt" >&2; }
chdman extractcd -i "$CHD" -o "$WORK/back.cue" -ob "$WORK/back.bin" >/dev/null 2>&1 ||
  fail "chdman extractcd"
cmp -s -n "$(stat -c %s "$ISO")" "$ISO" "$WORK/back.bin" || fail "extracted data differs from the image"

echo "== chdman's failure comes back as the exit code, with its message"
run_wine cmd.exe /c chdman createcd -i "$(windows_path "$ISO")" -o "$(windows_path "$CHD")"
[ "$rc" -ne 0 ] || fail "overwriting without -f reported success"
expect_contains "chdman's error" "$WORK/err.txt" "Error"

finish
