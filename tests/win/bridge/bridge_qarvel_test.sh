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

# A .cue/.bin pair of the same data: the cue names its track file, which has blanks and a
# non-ASCII letter in its name too.
track="track \u00fc 1.bin"
track=$(printf "$track")
cp "$ISO" "$WORK/$track"
printf 'FILE "%s" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n' "$track" >"$WORK/game.cue"

run_qarvel() { # IMAGE RESULT [TRACK]
  local args=()
  for a in "$@"; do args+=("$(windows_path "$a")"); done
  local start
  start=$(date +%s%N)
  if [ -n "${DISPLAY:-}" ]; then
    wine "$TEST_EXE" "${args[@]}"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24" wine "$TEST_EXE" "${args[@]}"
  fi || fail "the run through Qarvel.exe of $(basename "$1")"
  echo "Qarvel run of $(basename "$1"), from the window to a finished NEW.CHD:" \
    "$((($(date +%s%N) - start) / 1000000)) ms"
}

check_chd() { # RESULT SOURCE_DATA
  chdman verify -i "$1" >/dev/null 2>&1 || fail "chdman verify of $(basename "$1")"
  rm -f "$WORK/back.cue" "$WORK/back.bin"
  chdman extractcd -i "$1" -o "$WORK/back.cue" -ob "$WORK/back.bin" >/dev/null 2>&1 ||
    fail "chdman extractcd of $(basename "$1")"
  cmp -s -n "$(stat -c %s "$2")" "$2" "$WORK/back.bin" || fail "$(basename "$1") holds other data"
}

run_qarvel "$ISO" "$WORK/result.chd"
check_chd "$WORK/result.chd" "$ISO"
run_qarvel "$WORK/game.cue" "$WORK/result-cue.chd" "$WORK/$track"
check_chd "$WORK/result-cue.chd" "$WORK/$track"
finish
