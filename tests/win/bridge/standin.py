#!/usr/bin/python3
# Stands in for a Linux tool behind the bridge, run as a program or by python3: prints its
# working folder and its arguments on one line, each followed by "|", writes a line to its
# error stream and exits with $STANDIN_EXIT.
import os
import sys

sys.stdout.buffer.write(b"".join(os.fsencode(a) + b"|" for a in [os.getcwd()] + sys.argv[1:]))
sys.stdout.buffer.write(b"\n")
print("stand-in error", file=sys.stderr)
sys.exit(int(os.environ.get("STANDIN_EXIT", "0")))
