"""The memory a program and the processes it starts take together, read from /proc
(Linux) while it runs."""

import os
import subprocess
import time


def family(pid):
    """pid and the processes it started, and theirs."""
    parents = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open("/proc/{}/stat".format(name)) as f:
                    parents[int(name)] = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                pass  # it has ended
    found, todo = [], [pid]
    while todo:
        found.append(todo.pop())
        todo.extend(child for child, parent in parents.items() if parent == found[-1])
    return found


def kib(pid, path, field):
    try:
        with open("/proc/{}/{}".format(pid, path)) as f:
            for line in f:
                if line.startswith(field):
                    return int(line.split()[1])
    except OSError:
        pass  # it has ended
    return 0


def peak(argv, every=0.005):
    """Runs argv; returns its exit code, its seconds, and in MiB the most its processes
    took at once (each one's share of pages they have in common, as Pss counts them)
    and its processes' own peaks added up (counting common pages in each: more than
    they ever took at once)."""
    start = time.perf_counter()
    run = subprocess.Popen([str(a) for a in argv], stdout=subprocess.DEVNULL)
    together, peaks = 0, {}
    while run.poll() is None:
        pids = family(run.pid)
        together = max(together, sum(kib(pid, "smaps_rollup", "Pss:") for pid in pids))
        for pid in pids:
            peaks[pid] = max(peaks.get(pid, 0), kib(pid, "status", "VmHWM:"))
        time.sleep(every)
    return run.returncode, time.perf_counter() - start, together / 1024, sum(
        peaks.values()) / 1024
