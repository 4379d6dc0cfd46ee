#!/usr/bin/env bash
# Qarvel.exe, worked through its window, compresses real images under Wine through the real
# cmd.exe and the bridge: the program folder's name has "(x86)", "&" and a non-ASCII letter,
# the images' names blanks. The result must give back the source's bytes. CHD is tried with an
# .iso and with a .cue naming its track, and with an image of 100 MB, pressing " iSO" again
# while chdman writes; ZSO with an .iso, compressed by our ziso.py and read back by the
# reference tool, with lz4 hidden from the Python that runs it, with an image it may not read
# and, where a tmpfs can be mounted, onto a full disk. Exits 77 (skipped) while
# either is missing from the source tree.
#   bridge_qarvel_test.sh CHD|ZSO ROUND_TRIP.exe QARVEL.exe BRIDGE_DIR WINEPREFIX WORK_DIR SOURCE_DIR
set -uo pipefail
FORMAT=$1 ROUND_TRIP=$2 QARVEL=$3 BRIDGE_DIR=$4 PREFIX=$5 WORK=$6 SOURCE=$7
source "$(dirname "$0")/round_trip.sh"
unset QARVEL_CHDMAN
ZISO_PY=${QARVEL_ZISO_PY:-$SOURCE/ziso/ziso.py}
MAXCSO=${QARVEL_MAXCSO:-$SOURCE/tests/ziso/node_modules/@emmercm/maxcso-linux-x64/dist/maxcso}
LAID_ZISO=
if [ "$FORMAT" = ZSO ]; then
  LAID_ZISO=$ZISO_PY
  for needed in "$ZISO_PY" "$MAXCSO"; do
    [ -e "$needed" ] || { echo "skipped: $needed is not there yet"; exit 77; }
  done
  export QARVEL_ZISO_PY=$ZISO_PY
fi

export WINEPREFIX=$PREFIX
rm -rf "$WORK"
PROGRAM="$WORK/program (x86) & ü"
WORKING="$WORK/working folder"
IMAGES="$WORK/rips é"
bridge_lay_out "$QARVEL" "$BRIDGE_DIR" "$PROGRAM" "$WORKING" "$LAID_ZISO" &&
  bridge_open_py_with "$WORKING" &&
  mkdir -p "$IMAGES" && bridge_make_iso "$IMAGES/game ü.iso" 400000 || exit 1
# A .cue/.bin pair of the same data: the cue names its track, blanks and a non-ASCII letter too.
track="track ü 1.bin"
cp "$IMAGES/game ü.iso" "$IMAGES/$track"
printf 'FILE "%s" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n' "$track" \
  >"$IMAGES/game ü.cue"

failures=0
round_trip() { # IMAGE SOURCE_DATA [OPTION]
  local result=$PROGRAM/NEW.$FORMAT
  rm -f "$result"
  if ! "$bridge_wine_run" "$ROUND_TRIP" "$(windows_path "$PROGRAM")" \
    "$(windows_path "$WORKING")" "$(windows_path "$1")" "$FORMAT" ${3:+"$3"}; then
    echo "FAIL: $(basename "$1") to $FORMAT through Qarvel.exe ${3:-}" >&2
    failures=$((failures + 1))
  elif [ -n "${3:-}" ] && [ "$3" != --press-again ]; then
    [ ! -e "$result" ] || { echo "FAIL: $result made with $3" >&2; failures=$((failures + 1)); }
  elif [ "$FORMAT" = CHD ]; then
    bridge_check_chd "$result" "$2" "$WORK" || failures=$((failures + 1))
  else
    bridge_check_zso "$result" "$2" "$WORK" "$MAXCSO" || failures=$((failures + 1))
  fi
}

round_trip "$IMAGES/game ü.iso" "$IMAGES/game ü.iso"
if [ "$FORMAT" = CHD ]; then
  round_trip "$IMAGES/game ü.cue" "$IMAGES/$track"
  bridge_make_iso "$IMAGES/large.iso" 110000000 || exit 1
  round_trip "$IMAGES/large.iso" "$IMAGES/large.iso" --press-again
else
  # An lz4 that cannot be imported, first on the path of the Python behind the bridge.
  mkdir -p "$WORK/no lz4/lz4" &&
    echo 'raise ImportError("hidden from this test")' >"$WORK/no lz4/lz4/__init__.py" || exit 1
  PYTHONPATH="$WORK/no lz4" round_trip "$IMAGES/game ü.iso" "" --lz4-missing
  # An image the Python behind the bridge may not read: root's power to read any file dropped.
  cp "$IMAGES/game ü.iso" "$IMAGES/locked.iso" && chmod 000 "$IMAGES/locked.iso" &&
    printf 'import os, sys\nos.execv("/usr/bin/setpriv", ["setpriv", "--bounding-set=-dac_override,-dac_read_search", sys.executable, %s] + sys.argv[1:])\n' \
      "'$ZISO_PY'" >"$WORK/unprivileged.py" || exit 1
  QARVEL_ZISO_PY="$WORK/unprivileged.py" round_trip "$IMAGES/locked.iso" "" --unreadable
  # No room for NEW.ZSO: the program folder on a tmpfs with room for little more than its files.
  FULL="$WORK/full program"
  mkdir -p "$FULL" && bridge_make_iso "$IMAGES/large.iso" 4000000 || exit 1
  if mount -t tmpfs -o size=1200k tmpfs "$FULL" 2>/dev/null; then
    bridge_lay_out "$QARVEL" "$BRIDGE_DIR" "$FULL" "$WORKING" "$LAID_ZISO" || exit 1
    PROGRAM=$FULL round_trip "$IMAGES/large.iso" "" --no-room
    umount "$FULL"
  else
    echo "no tmpfs can be mounted here, so the full disk is not tried"
  fi
fi
echo "$failures failed"
[ "$failures" -eq 0 ]
