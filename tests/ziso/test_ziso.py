"""ziso.py checked against maxcso, a ZSO implementation of its own: round trips both ways,
broken ZSO files and command-line faults. Run: /usr/bin/python3 -m pytest -q tests/ziso"""

import ast
import errno
import ntpath
import os
import random
import resource
import signal
import struct
import subprocess
import sys
import time
import types
import zlib

import lz4.block
import pytest

from peak import family, peak

HERE = os.path.dirname(os.path.abspath(__file__))
ZISO = os.path.join(os.path.dirname(os.path.dirname(HERE)), "ziso", "ziso.py")
MAXCSO = os.path.join(HERE, "node_modules", "@emmercm", "maxcso-linux-x64", "dist", "maxcso")
GIB = 1 << 30

# The script loaded as a module, so that its functions can be called directly.
program = types.ModuleType("ziso")
program.__file__ = ZISO
sys.modules["ziso"] = program
with open(ZISO, encoding="utf-8") as source:
    exec(compile(source.read(), ZISO, "exec"), program.__dict__)


def ziso(*args, env=None, stdout=subprocess.PIPE, preexec_fn=None, before=()):
    return subprocess.run([*before, sys.executable, ZISO] + [str(a) for a in args], env=env,
                          stdout=stdout, stderr=subprocess.PIPE, preexec_fn=preexec_fn,
                          text=True, timeout=120)


def ok(*args):
    done = ziso(*args)
    assert done.returncode == 0, done.stderr


def maxcso(*args):
    done = subprocess.run([MAXCSO, "--quiet"] + [str(a) for a in args], capture_output=True,
                          text=True, timeout=300)
    assert done.returncode == 0, done.stderr + done.stdout


def chunks(path, size=16 << 20):
    """The file's bytes in chunks; runs in holes of a sparse file come as None unread."""
    with open(path, "rb") as f:
        end = os.fstat(f.fileno()).st_size
        for at in range(0, end, size):
            n = min(size, end - at)
            try:
                hole = os.lseek(f.fileno(), at, os.SEEK_DATA) >= at + n
            except OSError as e:
                hole = e.errno == errno.ENXIO  # no data from here on
            f.seek(at)
            yield None if hole else f.read(n), n


def same(a, b):
    if os.path.getsize(a) != os.path.getsize(b):
        return False
    for (x, n), (y, _) in zip(chunks(a), chunks(b)):
        if (x or bytes(n)) != (y or bytes(n)):
            return False
    return True


def crc32(path):
    crc = 0
    for data, n in chunks(path):
        crc = zlib.crc32(data or bytes(n), crc)
    return crc


def header(path):
    with open(path, "rb") as f:
        return struct.unpack("<4sIQIBB2x", f.read(24))


def mixed(size, seed=1):
    """Random, zero and text runs: blocks of every kind."""
    r = random.Random(seed)
    parts, total = [], 0
    while total < size:
        n = r.randrange(1, 20000)
        parts.append(r.randbytes(n) if n % 3 == 0 else bytes(n) if n % 3 == 1
                     else b"line %d of text\n" % n * (n // 16))
        total += len(parts[-1])
    return b"".join(parts)[:size]


def disc(folder):
    tree = os.path.join(folder, "tree")
    os.makedirs(os.path.join(tree, "sub dir é"))
    for i in range(40):
        with open(os.path.join(tree, "sub dir é" if i % 2 else "", "file %d.txt" % i), "wb") as f:
            f.write(mixed(5000 * i, seed=i))
    image = os.path.join(folder, "disc.iso")
    subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-R", "-J", "-o", image, tree],
                   check=True, capture_output=True)
    return image


def sparse(folder, size):
    """Zeros past 4 GiB with a little data, the last MiB random."""
    image = os.path.join(folder, "big.iso")
    with open(image, "wb") as f:
        f.truncate(size)
        f.seek(GIB + 7)
        f.write(b"data at 1 GiB")
        f.seek(size - (1 << 20))
        f.write(random.Random(4).randbytes(1 << 20))
    return image


def data(payload):
    def make(folder):
        image = os.path.join(folder, "image ü.iso")
        with open(image, "wb") as f:
            f.write(payload)
        return image
    return make


def past_128_mib(folder):
    """Where two workers work: data, zeros, data; 140 MiB."""
    image = os.path.join(folder, "image ü.iso")
    with open(image, "wb") as f:
        f.write(mixed(20 << 20))
        f.seek(123 << 20)
        f.write(mixed(17 << 20, seed=5))
    return image


BIG = 4 * GIB + (1 << 20)
# name, image, ziso.py options, maxcso options (None: maxcso takes no such size), shift
ROUND_TRIPS = [
    ("xorriso image", disc, [], ["--block=2048"], 0),
    ("xorriso image, fast", disc, ["-c", "1"], ["--block=2048", "--fast"], 0),
    ("random", data(random.Random(2).randbytes(1 << 20)), [], ["--block=2048"], 0),
    ("zeros", data(bytes(3 << 20)), [], ["--block=2048"], 0),
    ("block 4096", data(mixed(1 << 21)), ["-b", "4096"], ["--block=4096"], 0),
    ("shift 1", data(mixed(1 << 21)), ["-a", "1"], ["--block=2048"], 1),
    ("shift 4, pad 0xab", data(mixed(1 << 21)), ["-a", "4", "-p", "0xab"], ["--block=2048"], 4),
    ("shift 11, block 8192", data(mixed(1 << 21)), ["-a", "11", "-b", "8192"],
     ["--block=8192"], 11),
    ("xorriso image, shift 11", disc, ["-a", "11"], ["--block=2048"], 11),
    ("256 KiB blocks, shift 8, pad 255", data(mixed(3 << 20)),
     ["-b", "262144", "-a", "8", "-p", "255"], ["--block=262144"], 8),
    ("1 MiB blocks, shift 8, pad 255 (past maxcso's largest block)",
     data(mixed((5 << 20) + 1000)), ["-b", "1048576", "-a", "8", "-p", "255"], None, 8),
    ("worker processes (-j 3 starts two), HC level 2, zero batches, shift 4, pad 0xab",
     past_128_mib, ["-c", "2", "-j", "3", "-a", "4", "-p", "0xab"], ["--block=2048"], 4),
    ("HC level 2, shift 2", data(mixed(1 << 21)), ["-c", "2", "-a", "2"], ["--block=2048"], 2),
    ("HC level 12", data(mixed(1 << 21)), ["-c", "12"], ["--block=2048"], 0),
    ("HC level 12, block 16384, shift 2", data(mixed(1 << 21)),
     ["-c", "12", "-b", "16384", "-a", "2"], ["--block=16384"], 2),
    ("all plain (-t 0)", data(mixed(1 << 20)), ["-t", "0"], ["--block=2048"], 0),
    ("over 4 GiB, 256 KiB blocks", lambda d: sparse(d, BIG), ["-b", "262144"],
     ["--block=262144"], 2),
    ("over 4 GiB, 2048 blocks", lambda d: sparse(d, BIG), [], None, 2),
    ("0 bytes", data(b""), [], None, 0),
    ("1 byte", data(b"x"), [], None, 0),
    ("2049 bytes, shift 3", data(mixed(2049)), ["-a", "3"], None, 3),
    ("a block and 5 bytes of 4096", data(mixed(4101)), ["-b", "4096", "-a", "5"], None, 5),
    ("last block plain, shift 6", data(mixed(4096) + random.Random(3).randbytes(300)),
     ["-a", "6", "-p", "255"], None, 6),
    ("not whole sectors, HC level 12", data(mixed(700 * 2048 + 1001)), ["-c", "12"], None, 0),
    ("not whole sectors, HC level 2, block 16384, shift 2", data(mixed(5 * 16384 + 3001)),
     ["-c", "2", "-b", "16384", "-a", "2"], None, 2),
]


@pytest.mark.parametrize("name, make, options, reference, shift", ROUND_TRIPS,
                         ids=[row[0] for row in ROUND_TRIPS])
def test_round_trip(tmp_path, name, make, options, reference, shift):
    folder = tmp_path / "images é ü"
    folder.mkdir()
    image = make(str(folder))
    ours, back = folder / "ours ü.zso", folder / "back ü.iso"
    ok(*options, image, ours)
    assert header(ours)[2] == os.path.getsize(image) and header(ours)[5] == shift
    with open(ours, "rb") as f:  # after the last block, zeros up to a whole sector
        f.seek(24 + 4 * -(-os.path.getsize(image) // header(ours)[3]))
        f.seek(struct.unpack("<I", f.read(4))[0] << shift)
        tail = f.read()
    assert len(tail) < 2048 and os.path.getsize(ours) % 2048 == 0 and tail == bytes(len(tail))
    ok("-c", "0", ours, back)
    assert same(image, back)
    if reference is None:
        return
    # maxcso reads ours (over 1 GiB only by its CRC: writing it all out takes minutes) ...
    if os.path.getsize(image) > GIB:
        done = subprocess.run([MAXCSO, "--crc", ours], capture_output=True, text=True)
        assert "CRC32: %08x" % crc32(image) in done.stdout + done.stderr
    else:
        maxcso("--decompress", ours, "-o", folder / "theirs.iso")
        assert same(image, folder / "theirs.iso")
    # ... and we read maxcso's, which picks the same shift when left to choose.
    theirs = folder / "theirs.zso"
    maxcso("--format=zso", *reference, image, "-o", theirs)
    for padding in (0, -os.path.getsize(theirs) % 2048):  # as it is, then padded as ours
        with open(theirs, "ab") as f:
            f.write(bytes(padding))
        ok("-f", "-c", "0", theirs, back)
        assert same(image, back)
    if "-a" not in options:
        assert header(theirs)[5] == shift


def zso(blocks, size, block=2048, shift=0):
    """A ZSO made by hand from (stored bytes, plain) per block, the first one aligned."""
    at = 24 + 4 * (len(blocks) + 1)
    index, body = [], bytes(-at % (1 << shift))
    at += len(body)
    for stored, plain in blocks:
        index.append(at >> shift | (plain << 31))
        body += stored
        at += len(stored)
    index.append(at >> shift)
    return (struct.pack("<4sIQIBB2x", b"ZISO", 24, size, block, 1, shift)
            + struct.pack("<%dI" % len(index), *index) + body)


def good():
    image = mixed(600 * 2048 + 100, seed=9)
    squeeze = lambda b: lz4.block.compress(b, store_size=False)
    return zso([(squeeze(image[i:i + 2048]), False) for i in range(0, len(image), 2048)],
               len(image))


def entry(d, i, value):
    struct.pack_into("<I", d, 24 + 4 * i, value)


def last_block_garbage(d):
    start = struct.unpack_from("<I", d, 24 + 4 * 600)[0]
    d[start:] = b"\xff" * (len(d) - start)


def corrupt_16_mib_block(d):
    """One block of 16 MiB whose LZ4 data makes a byte less, 0xab padding to shift 16."""
    stored = lz4.block.compress(mixed((16 << 20) - 1, seed=12), store_size=False)
    d[:] = zso([(stored + b"\xab" * (-len(stored) % 65536), False)], 16 << 20, 16 << 20, 16)


X = lz4.block.compress(b"x" * 2048, store_size=False)
# name, broken ZSO: a mutation of a good one (600 blocks and 100 bytes) or one made by hand
BROKEN = [
    ("empty file", lambda d: d.clear()),
    ("bad magic", lambda d: d.__setitem__(slice(0, 4), b"ZISX")),
    ("bad version", lambda d: d.__setitem__(20, 2)),
    ("bad header size", lambda d: d.__setitem__(4, 32)),
    ("truncated header", lambda d: d.__delitem__(slice(20, None))),
    ("truncated index", lambda d: d.__delitem__(slice(24 + 4 * 300, None))),
    ("size 2^60", lambda d: struct.pack_into("<Q", d, 8, 1 << 60)),
    ("block size 0", lambda d: struct.pack_into("<I", d, 16, 0)),
    ("block size 2^31", lambda d: struct.pack_into("<I", d, 16, 1 << 31)),
    ("shift 200", lambda d: d.__setitem__(21, 200)),
    ("offsets out of order", lambda d: entry(d, 5, struct.unpack_from("<I", d, 24 + 4 * 7)[0])),
    ("offset past the end", lambda d: entry(d, 601, len(d) + 1)),
    ("first block inside the index", lambda d: entry(d, 0, 24)),
    ("one block spans the file", lambda d: entry(d, 1, len(d) - 10)),
    ("corrupt LZ4 data in the last block", last_block_garbage),
    ("block decodes short", zso([(lz4.block.compress(b"x" * 1000, store_size=False), False)],
                                2048)),
    ("block decodes long", zso([(X, False)], 1000)),
    ("plain block short", zso([(b"x" * 2000, True)], 2048)),
    ("plain block long", zso([(b"x" * 2100, True)], 2048)),
    ("padding past the shift", zso([(X + bytes(16 - len(X) % 8), False)], 2048, shift=3)),
    ("a corrupt block at -b 16777216 -a 16", corrupt_16_mib_block),
]


@pytest.mark.parametrize("name, broken", BROKEN, ids=[row[0] for row in BROKEN])
def test_broken_zso(tmp_path, name, broken):
    if callable(broken):
        d = bytearray(good())
        broken(d)
        broken = bytes(d)
    bad, out = tmp_path / "bad.zso", tmp_path / "out.iso"
    bad.write_bytes(broken)
    started = time.monotonic()
    done = ziso("-c", "0", bad, out)
    assert time.monotonic() - started < 2, "a refusal must come at once"
    assert done.returncode == 1 and done.stdout == ""
    assert done.stderr.count("\n") == 1 and str(bad) in done.stderr, done.stderr
    assert sorted(os.listdir(tmp_path)) == ["bad.zso"]


def test_broken_zso_in_a_worker(tmp_path):
    image, bad, out = tmp_path / "image.iso", tmp_path / "bad.zso", tmp_path / "out.iso"
    with open(image, "wb") as f:  # past 128 MiB, from where two workers expand
        f.write(mixed(40 << 20, seed=11))
        f.truncate(130 << 20)
    ok("-j", "1", image, bad)
    with open(bad, "r+b") as f:  # from block 15000 on: a worker's batch
        f.seek(24 + 4 * 15000)
        entries = struct.unpack("<100I", f.read(400))
        number, entry = next((15000 + i, e) for i, e in enumerate(entries) if e < 1 << 31)
        f.seek(entry)  # a compressed block, at shift 0
        f.write(b"\xff" * 16)
    done = ziso("-c", "0", "-j", "2", bad, out)
    assert done.returncode == 1 and done.stderr.count("\n") == 1, done.stderr
    assert "bad.zso: block {} does not decode".format(number) in done.stderr, done.stderr
    assert sorted(os.listdir(tmp_path)) == ["bad.zso", "image.iso"]


# name, command line ({img}, {out}: a small image and a free name beside it; NAME=value
# first: set in the environment; stdout:closed or stdout:broken first: standard output
# closed, or a pipe whose reader has gone; infile:denied: the image not to be read), exit
# code, message (in standard error, or output)
FAULTS = [
    ("standard output closed (pythonw.exe)", ["stdout:closed", "{img}", "{out}"], 0, ""),
    ("standard output a broken pipe", ["stdout:broken", "{img}", "{out}"], 0, ""),
    ("lz4 missing", ["PYTHONPATH={nolz4}", "{img}", "{out}"], 3,
     "the Python package lz4 is missing; install it with: pip install lz4"),
    ("missing INFILE", ["{img}.not", "{out}"], 1, "no such file"),
    ("INFILE not to be read", ["infile:denied", "{img}", "{out}"], 5,
     "image.iso: cannot read: Permission denied"),
    ("INFILE a folder", ["{dir}", "{out}"], 1, "is a folder"),
    ("OUTFILE a folder", ["{img}", "{dir}"], 1, "is a folder"),
    ("OUTFILE exists", ["{img}", "{old}"], 1, "already exists"),
    ("OUTFILE is INFILE", ["-f", "{img}", "{dir}/./image.iso"], 1, "is the input file"),
    ("OUTFILE is INFILE by a link", ["-f", "{img}", "{link}"], 1, "is the input file"),
    ("OUTFILE in no folder", ["{img}", "{dir}/none/out.zso"], 1, "cannot create"),
    ("INFILE a pipe", ["{fifo}", "{out}"], 1, "not a regular file"),
    ("INFILE a cue sheet", ["{cue}", "{out}"], 1, "is a cue sheet"),
    ("-b not of 2048", ["-b", "3000", "{img}", "{out}"], 2, "-b must be"),
    ("-b 6144, not a power of two", ["-b", "6144", "{img}", "{out}"], 2, "a power of two"),
    ("-b 32 MiB", ["-b", "33554432", "{img}", "{out}"], 2, "-b must be"),
    ("-j 0", ["-j", "0", "{img}", "{out}"], 2, "-j must be"),
    ("-b 0", ["-b", "0", "{img}", "{out}"], 2, "-b must be"),
    ("-c 13", ["-c", "13", "{img}", "{out}"], 2, "-c must be"),
    ("-c word", ["-c", "max", "{img}", "{out}"], 2, "-c must be a number"),
    ("-t 101", ["-t", "101", "{img}", "{out}"], 2, "-t must be"),
    ("-a 17", ["-a", "17", "{img}", "{out}"], 2, "-a must be"),
    ("-p 256", ["-p", "256", "{img}", "{out}"], 2, "-p must be"),
    ("one file", ["{img}"], 2, "OUTFILE"),
    ("options after the files", ["{img}", "{out}", "-c", "3"], 0, ""),
    ("-f replaces", ["{img}", "{old}", "-f"], 0, ""),
    ("-h lists exit code 4", ["-h"], 0, "\n  4      no room for OUTFILE: its disk, or the"),
    ("-h lists exit code 5", ["-h"], 0, "\n  5      INFILE cannot be read (denied, a read"),
]


@pytest.mark.parametrize("name, argv, code, message", FAULTS, ids=[row[0] for row in FAULTS])
def test_command_line(tmp_path, name, argv, code, message):
    img, old = tmp_path / "image.iso", tmp_path / "old.zso"
    img.write_bytes(mixed(10000))
    old.write_bytes(b"keep me")
    os.link(img, tmp_path / "link.iso")
    os.mkfifo(tmp_path / "fifo")
    (tmp_path / "game.Cue").write_text('FILE "game.iso" BINARY\n')
    (tmp_path / "nolz4" / "lz4").mkdir(parents=True)  # an lz4 whose import fails
    (tmp_path / "nolz4" / "lz4" / "__init__.py").write_text("raise ImportError('no lz4')\n")
    names = dict(img=img, out=tmp_path / "out.zso", old=old, dir=tmp_path,
                 link=tmp_path / "link.iso", fifo=tmp_path / "fifo", cue=tmp_path / "game.Cue",
                 nolz4=tmp_path / "nolz4")
    given = [a.format(**names) for a in argv]
    env = dict(os.environ, **dict(a.split("=", 1) for a in given if "=" in a))
    stdout, closing = subprocess.PIPE, None
    if "stdout:closed" in given:
        stdout, closing = None, lambda: os.close(1)
    if "stdout:broken" in given:
        reader, stdout = os.pipe()
        os.close(reader)
    before = []
    if "infile:denied" in given:  # root reads it all the same, unless it gives up that power
        img.chmod(0)
        before = ["setpriv", "--bounding-set=-dac_override,-dac_read_search"] * (not os.geteuid())
    started = time.monotonic()
    done = ziso(*[a for a in given if "=" not in a and not a.startswith(("stdout:", "infile:"))],
                env=env, stdout=stdout, preexec_fn=closing, before=before)
    img.chmod(0o644)
    assert done.returncode == code and message in done.stderr + (done.stdout or ""), done.stderr
    if code:
        assert time.monotonic() - started < 2, "a refusal must come at once"
        assert done.stderr.count("\n") == 1
        assert old.read_bytes() == b"keep me" and img.read_bytes() == mixed(10000)
        assert sorted(os.listdir(tmp_path)) == ["fifo", "game.Cue", "image.iso", "link.iso",
                                                "nolz4", "old.zso"]
    elif "-h" not in argv:
        written = old if "{old}" in argv else tmp_path / "out.zso"
        ok("-c", "0", written, tmp_path / "back.iso")  # whole
        assert (tmp_path / "back.iso").read_bytes() == img.read_bytes()


def signal_to(signum):
    return lambda run, image: run.send_signal(signum)


def kill_a_worker(run, image):
    os.kill(family(run.pid)[-1], signal.SIGKILL)


def cut_short(run, image):
    os.truncate(image, 1 << 20)


def rewrite(run, image):
    """Its first MiB written again, the same bytes: only its time of change tells."""
    with open(image, "r+b") as f:
        head = f.read(1 << 20)
        f.seek(0)
        f.write(head)


def grow(run, image):
    with open(image, "ab") as f:
        f.write(b"more")


C12J2, C12J1, C0J2, C0J1 = ["-c", "12", "-j", "2"], ["-c", "12", "-j", "1"], \
    ["-c", "0", "-j", "2"], ["-c", "0", "-j", "1"]
# name, options (-c 0: of the image's ZSO), what befalls the run under way, exit code, message
STOPS = [("Ctrl+C", C12J2, signal_to(signal.SIGINT), 130, "interrupted"),
         ("SIGTERM", C12J2, signal_to(signal.SIGTERM), 143, "stopped by signal 15"),
         ("SIGHUP (terminal closed)", C12J2, signal_to(signal.SIGHUP), 129,
          "stopped by signal 1"),
         ("a worker process killed", C12J2, kill_a_worker, 1,
          "a worker process ended unexpectedly"),
         ("the image cut short", C12J2, cut_short, 5, "became shorter while being read"),
         ("the image cut short, in one process", C12J1, cut_short, 5,
          "became shorter while being read"),
         ("the image rewritten in place", C12J2, rewrite, 5, "changed while being read"),
         ("the image rewritten in place, in one process", C12J1, rewrite, 5,
          "changed while being read"),
         ("the image grown", C12J2, grow, 5, "changed while being read"),
         ("the ZSO rewritten in place while expanded", C0J2, rewrite, 5,
          "changed while being read"),
         ("the ZSO rewritten in place while expanded in one process", C0J1, rewrite, 5,
          "changed while being read"),
         ("the ZSO grown while expanded", C0J2, grow, 5, "changed while being read")]


@pytest.mark.parametrize("name, options, befall, code, message", STOPS,
                         ids=[row[0] for row in STOPS])
def test_stopped_run_leaves_nothing(tmp_path, name, options, befall, code, message):
    image = tmp_path / "image.iso"
    with open(image, "wb") as f:  # past 128 MiB, from where two workers work
        f.write(mixed(48 << 20))
        f.truncate(130 << 20)
    if options[1] == "0":
        ok("-j", "1", image, tmp_path / "image.zso")
        image = tmp_path / "image.zso"
    there = sorted(os.listdir(tmp_path))
    run = subprocess.Popen([sys.executable, ZISO] + options + [image, tmp_path / "out"],
                           stderr=subprocess.PIPE, text=True)
    workers = int(options[-1]) if options[-1] != "1" else 0
    while not ([n for n in os.listdir(tmp_path) if n.endswith(".tmp")]
               and len(family(run.pid)) == 1 + workers):
        assert run.poll() is None, "finished before it could be stopped, or had no workers"
        time.sleep(0.01)
    run.send_signal(signal.SIGSTOP)  # held while it befalls, so that it cannot end first
    time.sleep(0.3)  # its workers well into their batches, and the clock on
    helpers = family(run.pid)[1:]
    befall(run, image)
    run.send_signal(signal.SIGCONT)
    assert run.wait(timeout=60) == code and message in run.stderr.read()
    assert sorted(os.listdir(tmp_path)) == there
    deadline = time.monotonic() + 5
    while [pid for pid in helpers if os.path.exists("/proc/{}".format(pid))]:
        assert time.monotonic() < deadline, "worker processes outlived the run"
        time.sleep(0.05)


# name, -j, OUTFILE's size limit (None: a tmpfs of 1 MiB its disk), exit code, message
NO_ROOM = [("a file size limit, in one process", 1, 8 << 20, 1, "File too large"),
           ("a file size limit, in two processes", 2, 8 << 20, 1, "File too large"),
           ("a full disk, in one process", 1, None, 4, "No space left on device"),
           ("a full disk, in two processes", 2, None, 4, "No space left on device")]


@pytest.mark.parametrize("name, jobs, limit, code, message", NO_ROOM,
                         ids=[row[0] for row in NO_ROOM])
def test_no_room_is_named(tmp_path, name, jobs, limit, code, message):
    image, disk = tmp_path / "image.iso", tmp_path / "disk"
    with open(image, "wb") as f:  # past 128 MiB, from where two workers work
        f.write(random.Random(8).randbytes(40 << 20))
        f.truncate(130 << 20)
    disk.mkdir()
    if not limit and subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", disk],
                                    capture_output=True).returncode:
        pytest.skip("no tmpfs can be mounted here (that takes root)")
    try:
        done = ziso("-c", "2", "-j", jobs, image, disk / "out.zso", preexec_fn=limit and (
            lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))))
        left = os.listdir(disk)
    finally:
        if not limit:
            subprocess.run(["umount", disk], check=True)
    assert done.returncode == code and done.stderr.count("\n") == 1
    assert "out.zso: cannot write: " + message in done.stderr, done.stderr
    assert left == [] and sorted(os.listdir(tmp_path)) == ["disk", "image.iso"]


def test_console_close_removes_the_file(tmp_path):
    out = program.Output(str(tmp_path / "NEW.ZSO"))
    out.file.write(b"half a ZSO")
    ended = []  # Windows removes no file another process has open: they end first
    out.workers = types.SimpleNamespace(close=lambda kill: ended.append(os.listdir(tmp_path)))
    assert program.on_console_event(0) is False  # Ctrl+C: left to the main thread
    assert len(os.listdir(tmp_path)) == 1
    assert program.on_console_event(program.CTRL_CLOSE_EVENT) is True
    assert os.listdir(tmp_path) == [] and len(ended) == 1 and len(ended[0]) == 1


def appears(path):
    path.write_bytes(b"the other run's")


def held(times):
    """What Windows says while another program has the file open, the first times."""
    calls = []

    def action(path):
        calls.append(path)
        if len(calls) <= times:
            error = OSError(errno.EACCES, "The file is used by another process")
            error.winerror = 32  # ERROR_SHARING_VIOLATION
            raise error
    return action


def no_links(*args):
    raise OSError(errno.EPERM, "Operation not permitted")


def signal_after(signum, link=os.link):
    """os.link, and the signal just after: the file has its name."""
    def linked(*args):
        link(*args)
        os.kill(os.getpid(), signum)
    return linked


# name, options, what happens just before the final step, os.link replaced by, exit code,
# what OUTFILE then holds (None: nothing), message
PLACEMENTS = [
    ("another run got there first", [], appears, None, 1, b"the other run's", "already exists"),
    ("-f replaces it", ["-f"], appears, None, 0, b"ZISO", ""),
    ("no hard links", [], None, no_links, 0, b"ZISO", ""),
    ("no hard links, another run got there first", [], appears, no_links, 1,
     b"the other run's", "already exists"),
    ("held twice, then free", [], held(2), None, 0, b"ZISO", ""),
    ("held for good", [], held(10 ** 6), None, 1, None, "cannot give the finished file"),
    ("SIGTERM just after placement", [], None, signal_after(signal.SIGTERM), 0, b"ZISO", ""),
    ("Ctrl+C just after placement", [], None, signal_after(signal.SIGINT), 0, b"ZISO", ""),
]


@pytest.mark.parametrize("name, options, before, link, code, holds, message", PLACEMENTS,
                         ids=[row[0] for row in PLACEMENTS])
def test_placement(tmp_path, monkeypatch, capsys, name, options, before, link, code, holds,
                   message):
    image, target = tmp_path / "image.iso", tmp_path / "NEW.ZSO"
    image.write_bytes(mixed(100000))
    place = program.Output.place

    def placing(self, force):
        if before:
            before(target)
        place(self, force)
    monkeypatch.setattr(program.Output, "place", placing)
    if link:
        monkeypatch.setattr(os, "link", link)
    assert program.main(options + [str(image), str(target)]) == code
    err = capsys.readouterr().err
    assert message in err and err.count("\n") == (1 if code else 0), err
    assert (target.read_bytes()[:len(holds)] if target.exists() else None) == holds
    assert sorted(os.listdir(tmp_path)) == sorted(["image.iso"] + (["NEW.ZSO"] if holds else []))
    if holds == b"ZISO":  # whole
        assert program.main(["-c", "0", str(target), str(tmp_path / "back.iso")]) == 0
        assert (tmp_path / "back.iso").read_bytes() == image.read_bytes()


def test_signal_while_the_file_is_made(tmp_path, monkeypatch, capsys):
    image, locked = tmp_path / "image.iso", program.Output.locked
    image.write_bytes(mixed(100000))

    def signalled(self, fd):  # SIGTERM just after the temporary file is made
        os.kill(os.getpid(), signal.SIGTERM)
        return locked(self, fd)
    monkeypatch.setattr(program.Output, "locked", signalled)
    assert program.main([str(image), str(tmp_path / "NEW.ZSO")]) == 143
    assert os.listdir(tmp_path) == ["image.iso"]


def another_run(folder, then):
    """A run into folder, slow enough to be caught while it writes; then(run) befalls it."""
    image = folder / "other.iso"
    image.write_bytes(mixed(8 << 20, seed=13))
    run = subprocess.Popen([sys.executable, ZISO, "-c", "12", "-j", "1", image,
                            folder / "other.zso"])
    while not [n for n in os.listdir(folder) if n.startswith("~ziso-")]:
        assert run.poll() is None, "finished before it could be caught"
        time.sleep(0.01)
    then(run)
    return run


def killed(folder):  # SIGKILL: nothing of it runs on
    another_run(folder, lambda run: (run.kill(), run.wait()))


def held_live(folder):  # stopped while the other run goes, then let go on
    run = another_run(folder, lambda run: run.send_signal(signal.SIGSTOP))
    return lambda: (run.send_signal(signal.SIGCONT), run.wait(timeout=60))[1] == 0


def lookalike(folder):
    (folder / "~ziso-notes.tmp").write_bytes(b"not a run's")


# name, what is left in OUTFILE's folder (then what lets a live run go on), whether it stays
LEFTOVERS = [("a killed run's temporary file", killed, False),
             ("a live run's temporary file: two runs at once", held_live, True),
             ("a file named like one, but not by a run", lookalike, True)]


@pytest.mark.parametrize("name, leave, stays", LEFTOVERS, ids=[row[0] for row in LEFTOVERS])
def test_leftovers(tmp_path, name, leave, stays):
    image = tmp_path / "image.iso"
    image.write_bytes(mixed(100000))
    go_on = leave(tmp_path)
    left = [n for n in os.listdir(tmp_path) if n.startswith("~ziso-")]
    assert len(left) == 1
    ok(image, tmp_path / "NEW.ZSO")
    assert (left[0] in os.listdir(tmp_path)) == stays
    if go_on:  # the live run ends well
        assert go_on() and header(tmp_path / "other.zso")[2] == 8 << 20


# name, path, its form for the file system on Windows
LONG_PATHS = [
    ("drive path", "C:\\games\\disc.iso", "\\\\?\\C:\\games\\disc.iso"),
    ("forward slashes and dots", "C:/games/./old/../disc.iso", "\\\\?\\C:\\games\\disc.iso"),
    ("network share", "\\\\server\\share\\disc.iso", "\\\\?\\UNC\\server\\share\\disc.iso"),
    ("already long", "\\\\?\\C:\\disc.iso", "\\\\?\\C:\\disc.iso"),
    ("over 260 characters", "D:\\" + "folder\\" * 40 + "NEW.ZSO",
     "\\\\?\\D:\\" + "folder\\" * 40 + "NEW.ZSO"),
]


@pytest.mark.parametrize("name, path, form", LONG_PATHS, ids=[row[0] for row in LONG_PATHS])
def test_long_path(name, path, form):
    assert program.long_path(path, ntpath) == form
    assert program.long_path(path) == path  # elsewhere paths are left as they are


def by_turns(folder):
    """Incompressible and compressible by turns, 128 MiB."""
    image = os.path.join(folder, "image.iso")
    r = random.Random(6)
    with open(image, "wb") as f:
        for _ in range(4):
            f.write(r.randbytes(16 << 20))
            f.write(mixed(16 << 20, seed=7))
    return image


# name, image, options, most MiB of memory
MEMORY = [
    ("16 MiB blocks, -j 8", by_turns, ["-b", "16777216", "-j", "8"], 100),
    ("2048 blocks, -j 8", by_turns, ["-j", "8"], 64),
    ("HC level 9 in two workers, -j 8", by_turns, ["-c", "9", "-j", "8"], 64),
    ("a 16 GiB image: an index of 32 MiB", lambda d: sparse(d, 16 * GIB), ["-j", "8"], 64),
]


@pytest.mark.parametrize("name, make, options, most", MEMORY, ids=[row[0] for row in MEMORY])
def test_memory(tmp_path, name, make, options, most):
    image, packed, back = make(str(tmp_path)), tmp_path / "image.zso", tmp_path / "back.iso"
    for argv in (options + [image, packed], options + ["-c", "0", packed, back]):
        code, _, mib = peak([sys.executable, ZISO] + argv)
        assert code == 0 and mib < most
    assert same(image, back)


def test_python_3_8_syntax():
    with open(ZISO, encoding="utf-8") as f:
        ast.parse(f.read(), feature_version=(3, 8))
