#!/usr/bin/env bash
# The bridge under Wine, one row per case: a stand-in Linux tool shows what arrives (working
# folder, arguments) and that output and exit codes come back; then the real chdman.
#   bridge_test.sh BRIDGE_DIR WINEPREFIX WORK_DIR
set -uo pipefail
BRIDGE_DIR=$1 PREFIX=$2 WORK=$3
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/round_trip.sh"
windows=("$bridge_wine_run" --prefix "$PREFIX")
unset QARVEL_CHDMAN QARVEL_ZISO_PY

rm -rf "$WORK"
DIR="$WORK/it's 100% & (x86) ü!" # the bridge's working folder, on Z:
W=$(windows_path "$DIR")
CDIR="$PREFIX/drive_c/bridge ü"
mkdir -p "$DIR/sub" "$CDIR" && : >"$DIR/game ü.iso" && : >"$CDIR/c.iso"
cp "$BRIDGE_DIR/chdman.exe" "$BRIDGE_DIR/ziso.py.exe" "$BRIDGE_DIR/python.exe" "$DIR/" &&
  cp "$BRIDGE_DIR/chdman.exe" "$DIR/other.exe" || exit 1
rm -f "$PREFIX/dosdevices/y:"
STANDIN=$HERE/standin.py
E="stand-in error"
failures=0

# row NAME EXIT LINE ERRORS COMMAND...: runs the command in $DIR. It must exit with EXIT, print
# LINE as a whole line (nothing at all for "-", anything for "") and have ERRORS in its error
# stream.
row() {
  local name=$1 want_rc=$2 want_line=$3 want_err=$4 rc=0
  shift 4
  (cd "$DIR" && "$@" >"$WORK/out" 2>"$WORK/err") || rc=$?
  if [ "$rc" = "$want_rc" ] && grep -qF -- "$want_err" "$WORK/err" &&
    case $want_line in
      -) [ ! -s "$WORK/out" ] ;;
      "") true ;;
      *) grep -qxF -- "$want_line" "$WORK/out" ;;
    esac
  then
    echo "ok   $name"
  else
    failures=$((failures + 1))
    printf 'FAIL %s: exit %s (want %s)\n  out:  %s\n  want: %s\n  err:  %s\n  want: %s\n' \
      "$name" "$rc" "$want_rc" "$(cat "$WORK/out")" "$want_line" "$(cat "$WORK/err")" "$want_err"
  fi
}
chd() { env QARVEL_CHDMAN="$STANDIN" "$@"; }
zso() { env QARVEL_ZISO_PY="$STANDIN" "$@"; }

echo "== a stand-in tool"
row "exit 0 and both streams passed on" 0 "$DIR|info|" "$E" chd "${windows[@]}" chdman.exe info
row "exit 3 passed on" 3 "$DIR|info|" "$E" chd env STANDIN_EXIT=3 "${windows[@]}" chdman.exe info
row "drive paths mapped, words kept" 0 \
  "$DIR|createcd|-i|$DIR/game ü.iso|-o|$DIR/NEW.CHD|-c|1|it's \"50%\" & !x|" "$E" \
  chd "${windows[@]}" chdman.exe createcd -i "$W\\game ü.iso" -o "$W\\NEW.CHD" -c 1 "it's \"50%\" & !x"
row "relative, forward slash, device and C: paths" 0 \
  "$DIR|$DIR/game ü.iso|$DIR/sub/n.chd|$DIR/game ü.iso|$PREFIX/dosdevices/c:/bridge ü/c.iso|NEW.CHD|" \
  "$E" chd "${windows[@]}" chdman.exe "game ü.iso" sub/n.chd "\\\\?\\$W\\game ü.iso" 'C:\bridge ü\c.iso' NEW.CHD
row "ziso.py.exe runs the script with python3" 0 \
  "$DIR|-c|1|$DIR/game ü.iso|$DIR/NEW.ZSO|" "$E" \
  zso "${windows[@]}" ziso.py.exe -c 1 "$W\\game ü.iso" "$W\\NEW.ZSO"
row "python.exe runs the script it is given with python3" 0 "$DIR|-c|$DIR/game ü.iso|" "$E" \
  "${windows[@]}" python.exe "$(windows_path "$STANDIN")" -c "$W\\game ü.iso"
row "cmd.exe /c chdman, as Qarvel starts it" 3 \
  "$DIR|createcd|-i|$DIR/game ü.iso|-o|$DIR/NEW.CHD|" "$E" \
  chd env STANDIN_EXIT=3 "${windows[@]}" cmd.exe /c chdman createcd -i "$W\\game ü.iso" -o "$W\\NEW.CHD"
row "cmd.exe /c ziso.py finds ziso.py.exe" 0 \
  "$DIR|-c|1|$DIR/game ü.iso|$DIR/NEW.ZSO|" "$E" \
  zso "${windows[@]}" cmd.exe /c ziso.py -c 1 "$W\\game ü.iso" "$W\\NEW.ZSO"
row "a drive Wine does not map" 1 - \
  'chdman bridge: Wine cannot map "Y:\game.iso" to a Unix path.' \
  chd "${windows[@]}" chdman.exe createcd -i 'Y:\game.iso' -o NEW.CHD
row "a folder that does not exist" 1 - \
  'chdman bridge: Wine cannot map "C:\no such folder\NEW.CHD" to a Unix path.' \
  chd "${windows[@]}" chdman.exe createcd -i "game ü.iso" -o 'C:\no such folder\NEW.CHD'
row "the Linux chdman missing" 127 - \
  "chdman bridge: missing on Linux: $WORK/none ü (install the package mame-tools, or set QARVEL_CHDMAN)." \
  env QARVEL_CHDMAN="$WORK/none ü" "${windows[@]}" chdman.exe info
row "our ziso.py missing" 127 - \
  "ziso.py bridge: missing on Linux: $WORK/none (set QARVEL_ZISO_PY to our ziso.py)." \
  env QARVEL_ZISO_PY="$WORK/none" "${windows[@]}" ziso.py.exe -c 1 x y
row "a bridge of another name" 1 - \
  "other.exe bridge: name this program chdman.exe, ziso.py.exe or python.exe to choose its tool." \
  "${windows[@]}" other.exe info

echo "== the real chdman"
ISO="$DIR/real ü.iso"
bridge_make_iso "$ISO" 300000 || { echo "xorriso could not make the image" >&2; exit 1; }
row "createcd through cmd.exe" 0 "Input file:   $ISO" "Compression complete" \
  "${windows[@]}" cmd.exe /c chdman createcd -i "$W\\real ü.iso" -o "$W\\NEW.CHD"
bridge_check_chd "$DIR/NEW.CHD" "$ISO" "$WORK" || failures=$((failures + 1))
row "its failure passed on (no overwriting)" 1 "" "Error: file already exists ($DIR/NEW.CHD)" \
  "${windows[@]}" cmd.exe /c chdman createcd -i "$W\\real ü.iso" -o "$W\\NEW.CHD"

echo "$failures failed"
[ "$failures" -eq 0 ]
