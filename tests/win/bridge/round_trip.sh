# Shared by the bridge tests and scripts/run: the folders Qarvel runs in under Wine with the
# bridge, a sample image, and the checks that a NEW.CHD or NEW.ZSO gives back its source.
# Wine is started through cmake/wine-run, named in bridge_wine_run; windows_path is its own.

bridge_wine_run="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../cmake" && pwd)/wine-run"
source "$bridge_wine_run"

# The program folder holds Qarvel.exe, chdman.exe (the CHD box looks for it there) and, when
# given, our ziso.py (the ZSO box); the working folder holds the bridge copies chdman.exe and
# ziso.py.exe that cmd.exe finds by bare name, and no ziso.py, at which Wine's cmd.exe would stop,
# and python.exe, for bridge_open_py_with.
#   bridge_lay_out QARVEL_EXE BRIDGE_DIR PROGRAM_DIR WORKING_DIR [ZISO_PY]
bridge_lay_out() {
  mkdir -p "$3" "$4" &&
    cp "$1" "$3/Qarvel.exe" &&
    cp "$2/chdman.exe" "$3/chdman.exe" &&
    cp "$2/chdman.exe" "$2/ziso.py.exe" "$2/python.exe" "$4/" &&
    if [ -n "${5:-}" ]; then cp "$5" "$3/ziso.py"; fi
}

# In the prefix of WINEPREFIX, .py files are opened with the working folder's bridge copy
# python.exe, as the Python installer sets it up with python.exe: Qarvel starts no ZSO run where
# nothing opens them. (Wine's cmd.exe never starts a file through its type, so what it runs for
# "ziso.py" is still the bridge copy ziso.py.exe.)
#   bridge_open_py_with WORKING_DIR
bridge_open_py_with() {
  "$bridge_wine_run" reg add 'HKLM\Software\Classes\.py' /ve /d Python.File /f >/dev/null &&
    "$bridge_wine_run" reg add 'HKLM\Software\Classes\Python.File\shell\open\command' /ve \
      /d "\"$(windows_path "$1")\\python.exe\" \"%1\" %*" /f >/dev/null
}

# An ISO image of some random and some repetitive data, about BYTES long.
#   bridge_make_iso ISO BYTES
bridge_make_iso() {
  local src
  src=$(mktemp -d) || return 1
  head -c "$(($2 / 2))" /dev/urandom >"$src/random.bin"
  yes "Qarvel sample line" | head -c "$(($2 / 2))" >"$src/text.txt"
  xorriso -as mkisofs -quiet -V QARVEL -o "$1" "$src" 2>/dev/null
  local rc=$?
  rm -rf "$src"
  return $rc
}

# The CHD verifies, and extracted it gives back the source's bytes.
#   bridge_check_chd CHD SOURCE SCRATCH_DIR
bridge_check_chd() {
  chdman verify -i "$1" >/dev/null 2>&1 || { echo "chdman verify fails for $1" >&2; return 1; }
  rm -f "$3/back.cue" "$3/back.bin"
  chdman extractcd -i "$1" -o "$3/back.cue" -ob "$3/back.bin" >/dev/null 2>&1 ||
    { echo "chdman extractcd fails for $1" >&2; return 1; }
  cmp -s -n "$(stat -c %s "$2")" "$2" "$3/back.bin" || { echo "$1 holds other data" >&2; return 1; }
}

# The ZSO decompressed by the reference tool is the source, byte for byte.
#   bridge_check_zso ZSO SOURCE SCRATCH_DIR MAXCSO
bridge_check_zso() {
  rm -f "$3/back.iso"
  "$4" --decompress "$1" -o "$3/back.iso" >/dev/null 2>&1 ||
    { echo "maxcso cannot decompress $1" >&2; return 1; }
  cmp -s "$2" "$3/back.iso" || { echo "$1 decompresses to other data" >&2; return 1; }
}
