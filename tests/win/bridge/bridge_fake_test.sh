#!/usr/bin/env bash
# The chdman bridge under Wine with a stand-in for the Linux chdman: paths on every kind of
# Wine drive turned into Unix paths, words passed unchanged, exit codes and output passed on,
# and the failures it reports itself.
#   bridge_fake_test.sh BRIDGE.exe WINEPREFIX WORK_DIR
set -uo pipefail
BRIDGE=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
WORK=$3
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/common.sh"

rm -rf "$WORK" && mkdir -p "$WORK"
DIR="$WORK/blanks ü & it's \$HOME \`x\` (1)"
mkdir -p "$DIR"
: >"$DIR/game ü.iso"
cp "$HERE/fake_chdman.sh" "$WORK/fake chdman ü" && chmod +x "$WORK/fake chdman ü"
export QARVEL_CHDMAN="$WORK/fake chdman ü" FAKE_ARGV="$WORK/argv"

# Extra drives for this run: Q: and the share \\bridgesrv\share, both on $DIR.
DOSDEVICES="$WINEPREFIX/dosdevices"
mkdir -p "$DOSDEVICES/unc/bridgesrv"
ln -sfn "$DIR" "$DOSDEVICES/q:"
ln -sfn "$DIR" "$DOSDEVICES/unc/bridgesrv/share"
rm -f "$DOSDEVICES/y:"
trap 'rm -f "$DOSDEVICES/q:" "$DOSDEVICES/unc/bridgesrv/share"' EXIT

recorded() { tr '\0' '\n' <"$FAKE_ARGV"; }
expected() { printf '%s\n' "$@"; }
# A path as the file system sees it, links resolved, so any Wine spelling of it compares.
resolved() { realpath -m -- "$1"; }

WIN_DIR=$(windows_path "$DIR")

echo "== paths on Z:, words unchanged, exit code 0"
cd "$DIR" || exit 1
FAKE_EXIT=0 run_wine "$BRIDGE" createcd -i "$WIN_DIR\\GAME Ü.ISO" -o "$WIN_DIR\\NEW.CHD" \
  -c cdlz,cdzl -vt 'C:\text ü' -f
expect_eq "exit code" 0 "$rc"
# An existing file is found whatever the letter case; a new one keeps its spelling.
expect_eq "argv" "$(expected createcd -i "$DIR/game ü.iso" -o "$DIR/NEW.CHD" -c cdlz,cdzl \
  -vt 'C:\text ü' -f)" "$(recorded)"
expect_contains "relayed output" "$WORK/out.txt" "fake output ü"
expect_contains "relayed errors" "$WORK/err.txt" "fake error"

echo "== relative paths against the current folder, forward slashes, exit code 3"
rm -f "$FAKE_ARGV"
FAKE_EXIT=3 run_wine "$BRIDGE" createcd -i "game ü.iso" -o "sub/../NEW.CHD"
expect_eq "exit code" 3 "$rc"
# Wine names the current folder through the drive that maps it most closely (Q: below), so
# compare the files the paths lead to.
mapfile -t got < <(recorded)
expect_eq "relative argv" "createcd -i -o" "${got[0]} ${got[1]} ${got[3]}"
expect_eq "relative input" "$(resolved "$DIR/game ü.iso")" "$(resolved "${got[2]}")"
expect_eq "relative output" "$(resolved "$DIR/NEW.CHD")" "$(resolved "${got[4]}")"

echo "== drives C:, Q: and a UNC share"
rm -f "$FAKE_ARGV"
mkdir -p "$WINEPREFIX/drive_c/bridge ü"
run_wine "$BRIDGE" createcd -i 'Q:\game ü.iso' -o '\\bridgesrv\share\out.chd' \
  -ip 'C:\bridge ü\parent.chd' info '\\?\Q:\game ü.iso' 'q:/x.chd'
expect_eq "exit code" 0 "$rc"
mapfile -t got < <(recorded)
expect_eq "argument count" 10 "${#got[@]}"
expect_eq "Q: input" "$(resolved "$DIR/game ü.iso")" "$(resolved "${got[2]}")"
expect_eq "UNC output" "$(resolved "$DIR/out.chd")" "$(resolved "${got[4]}")"
expect_eq "C: parent" "$(resolved "$WINEPREFIX/drive_c/bridge ü/parent.chd")" \
  "$(resolved "${got[6]}")"
expect_eq "word among paths" info "${got[7]}"
expect_eq "device path" "$(resolved "$DIR/game ü.iso")" "$(resolved "${got[8]}")"
expect_eq "free drive path" "$(resolved "$DIR/x.chd")" "$(resolved "${got[9]}")"

echo "== cmd.exe /c chdman finds the bridge in the working folder"
rm -f "$FAKE_ARGV"
cp "$BRIDGE" "$DIR/chdman.exe"
FAKE_EXIT=3 run_wine cmd.exe /c chdman createcd -i "$WIN_DIR\\game ü.iso" -o "$WIN_DIR\\NEW.CHD"
expect_eq "exit code through cmd.exe" 3 "$rc"
expect_eq "argv through cmd.exe" "$(expected createcd -i "$DIR/game ü.iso" -o "$DIR/NEW.CHD")" \
  "$(recorded)"
rm -f "$DIR/chdman.exe"

echo "== a path on a drive Wine does not map: reported, nothing run"
rm -f "$FAKE_ARGV"
run_wine "$BRIDGE" createcd -i 'Y:\game.iso' -o NEW.CHD
expect_eq "exit code" 1 "$rc"
expect_contains "message" "$WORK/err.txt" 'chdman bridge: Wine maps no folder to the drive of "Y:\game.iso".'
[ ! -e "$FAKE_ARGV" ] || fail "the tool ran despite the unmapped drive"

echo "== a folder that does not exist: reported, nothing run"
run_wine "$BRIDGE" createcd -i "game ü.iso" -o 'C:\no such folder\NEW.CHD'
expect_eq "exit code" 1 "$rc"
expect_contains "message" "$WORK/err.txt" \
  'chdman bridge: cannot find the Linux path of "C:\no such folder\NEW.CHD"'
[ ! -e "$FAKE_ARGV" ] || fail "the tool ran despite the missing folder"

echo "== the Linux chdman missing, and one that cannot be executed"
QARVEL_CHDMAN="$WORK/no chdman" run_wine "$BRIDGE" info
expect_eq "exit code" 127 "$rc"
expect_contains "message" "$WORK/err.txt" \
  "chdman bridge: the Linux chdman is missing or not executable: $WORK/no chdman"
printf 'not a program\n' >"$WORK/broken chdman" && chmod +x "$WORK/broken chdman"
QARVEL_CHDMAN="$WORK/broken chdman" run_wine "$BRIDGE" info
expect_eq "exit code" 127 "$rc"
expect_contains "message" "$WORK/err.txt" "chdman bridge: the Linux shell could not start"

echo "== the tool named by a Windows path"
QARVEL_CHDMAN="$(windows_path "$WORK/fake chdman ü")" FAKE_EXIT=5 run_wine "$BRIDGE" info
expect_eq "exit code" 5 "$rc"

echo "== the shell killed before it could report: the bridge ends instead of waiting"
start=$(date +%s%N)
FAKE_KILL_SHELL=1 run_wine "$BRIDGE" info
elapsed=$((($(date +%s%N) - start) / 1000000))
expect_eq "exit code" 1 "$rc"
expect_contains "message" "$WORK/err.txt" \
  "chdman bridge: the Linux shell running chdman ended without reporting chdman's exit status."
[ "$elapsed" -lt 2500 ] || fail "noticed the vanished shell only after $elapsed ms"
echo "noticed after $elapsed ms"

echo "== the bridge killed (its window closed): the watchdog stops the tool and clears up"
temp_folders() { find "$WINEPREFIX/drive_c" -maxdepth 5 -name 'qarvel-chdman-*'; }
rm -f "$WORK/term" "$FAKE_ARGV"
FAKE_SLEEP=20 wine "$BRIDGE" info >/dev/null 2>&1 &
bridge=$!
for _ in $(seq 100); do [ -e "$FAKE_ARGV" ] && break; sleep 0.1; done
kill -9 "$bridge"
start=$(date +%s%N)
for _ in $(seq 150); do [ -e "$WORK/term" ] && [ -z "$(temp_folders)" ] && break; sleep 0.1; done
elapsed=$((($(date +%s%N) - start) / 1000000))
expect_eq "the tool got TERM" "TERM" "$(cat "$WORK/term" 2>/dev/null)"
expect_eq "folder left by the killed bridge" "" "$(temp_folders)"
echo "tool stopped and folder cleared $elapsed ms after the bridge was killed"

echo "== no private folder left behind"
expect_eq "private folders left" "" "$(temp_folders)"

finish
