#!/bin/sh
# Stands in for the Linux chdman: records its arguments (each ended by a NUL) in $FAKE_ARGV,
# writes to both streams and exits with $FAKE_EXIT. With FAKE_KILL_SHELL set it kills the shell
# that started it, as if that shell had been killed from outside; with FAKE_SLEEP it runs that
# many seconds, noting a TERM in "term" beside $FAKE_ARGV.
echo "fake output ü"
echo "fake error" >&2
if [ -n "${FAKE_KILL_SHELL:-}" ]; then
  kill -9 "$PPID"
  sleep 3
fi
if [ -n "${FAKE_SLEEP:-}" ]; then
  trap 'kill "$s"; echo TERM >"$(dirname "$FAKE_ARGV")/term"; exit 143' TERM
  sleep "$FAKE_SLEEP" &
  s=$!
  printf '%s\0' "$@" >"$FAKE_ARGV"
  wait "$s"
fi
printf '%s\0' "$@" >"$FAKE_ARGV"
exit "${FAKE_EXIT:-0}"
