# Shared by the bridge tests: checks that count failures, Wine's Z: view of a Unix path, and
# a run of the bridge under Wine that keeps its exit code, output and errors.

failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

expect_eq() { # what expected actual
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}

expect_contains() { # what file text
  grep -qF -- "$3" "$2" || { fail "$1: no [$3] in:"; cat "$2" >&2; }
}

# Z:\tmp\a b for /tmp/a b: Wine maps the whole Unix tree to Z:.
windows_path() {
  local p=$1
  printf 'Z:%s' "${p//\//\\}"
}

# Runs the bridge (or any Windows program) under Wine; sets rc, leaves out.txt and err.txt in
# $WORK.
run_wine() {
  rc=0
  wine "$@" >"$WORK/out.txt" 2>"$WORK/err.txt" || rc=$?
}

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
