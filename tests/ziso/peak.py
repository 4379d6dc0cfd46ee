"""The peak memory of a program together with the processes it starts, read from /proc
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


def high_water_kib(pid):
    try:
        with open("/proc/{}/status".format(pid)) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass  # it has ended
    return 0


def peak(argv, every=0.01):
    """Runs argv; returns its exit code, its seconds and its processes' peaks in MiB added
    up: more than they ever took at once, as the pages they share count in each."""
    start = time.perf_counter()
    run = subprocess.Popen([str(a) for a in argv], stdout=subprocess.DEVNULL)
    peaks = {}
    while run.poll() is None:
        for pid in family(run.pid):
            peaks[pid] = max(peaks.get(pid, 0), high_water_kib(pid))
        time.sleep(every)
    return run.returncode, time.perf_counter() - start, sum(peaks.values()) / 1024
