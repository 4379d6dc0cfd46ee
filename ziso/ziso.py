#!/usr/bin/python3
"""ziso.py: compresses a disc image into a ZSO file (LZ4 blocks) and back.

    ziso.py [-c LEVEL] [-b BLOCK] [-t PERCENT] [-a SHIFT] [-p PAD] [-j WORKERS] [-f]
            INFILE OUTFILE

Runs on Python 3.8 and later, on Windows and Linux alike; needs the lz4 package
(pip install lz4).

ZSO layout, all numbers little-endian:
  header, 24 bytes: b"ZISO", u32 header size (24), u64 image size, u32 block size,
                    u8 version (1), u8 index shift, two zero bytes
  index:  N + 1 u32 entries, N = ceil(image size / block size). Bit 31 set: the block
          is stored plainly; bits 0-30: the block's file offset >> index shift. The
          last entry marks where the data ends.
  blocks: raw LZ4 blocks (no frame, no size), or the plain bytes. With a shift above 0
          every block starts at a multiple of 1 << shift; the gaps are padding.
  end:    zero bytes after the last block, up to a multiple of 2048 (none if it is one).
"""

import argparse
import errno
import os
import re
import signal
import stat
import struct
import sys
import threading
import time
from array import array
from collections import deque
from contextlib import suppress
from functools import partial
from itertools import accumulate

try:
    import fcntl  # POSIX: each run holds a lock on its temporary file while it lives
except ImportError:
    fcntl = None

MAGIC = b"ZISO"
HEADER = struct.Struct("<4sIQIBBH")
VERSION = 1
SECTOR = 2048
MAX_BLOCK = 16 << 20
MAX_SHIFT = 16
PLAIN = 0x80000000
OFFSET_MASK = 0x7FFFFFFF
BATCH_BYTES = 1 << 20        # image bytes handed to a worker at a time (or one block)
BATCH_READ = 4 << 20         # most ZSO bytes read for one batch when expanding
IN_FLIGHT_BYTES = 8 << 20    # image bytes in the hands of the workers at once (or one batch)
LAST_TOKEN_REACH = 16        # bytes before a padded block's end run searched for its last token
HELD_WAIT = 2.0              # seconds the final rename waits for a file another program holds
WRITEBACK_EVERY = 32 << 20   # image bytes expanded between nudges to write them to the disk
PROGRESS_EVERY = 0.25        # seconds between progress updates
TMP_NAME = re.compile(r"~ziso-[a-z0-9_]{8}\.tmp")  # what tempfile.mkstemp makes of ours
SHORTER = "became shorter while being read"
FF_RUN = re.compile(b"\xff*")  # LZ4 lengths go on in bytes of 255

EXIT_FAULT, EXIT_USAGE, EXIT_NO_LZ4, EXIT_NO_ROOM, EXIT_UNREADABLE = 1, 2, 3, 4, 5
NO_ROOM = {errno.ENOSPC, getattr(errno, "EDQUOT", errno.ENOSPC)}  # a full disk, a full quota
NO_ROOM_WINDOWS = (39, 112, 1295)  # ERROR_HANDLE_DISK_FULL, ERROR_DISK_FULL, ..._QUOTA_EXCEEDED

lz4_block = None             # imported once the command line is read, so -h needs no lz4


class Fault(Exception):
    """A failure the user gets as one line: the file concerned and what is wrong; code is
    the run's exit code."""

    def __init__(self, path, what, code=EXIT_FAULT):
        Exception.__init__(self, "{}: {}".format(path, what))
        self.path, self.what, self.code = path, what, code


def cannot(path, doing, e):
    """The fault of e, an OSError reading INFILE (doing is "read": exit 5) or writing
    OUTFILE (exit 4 when its disk or the user's quota is full, else 1)."""
    code = EXIT_UNREADABLE if doing == "read" else EXIT_NO_ROOM if (
        e.errno in NO_ROOM or getattr(e, "winerror", None) in NO_ROOM_WINDOWS) else EXIT_FAULT
    return Fault(path, "cannot {}: {}".format(doing, e.strerror or e), code)


class Stopped(BaseException):
    """Ctrl+C, SIGTERM, SIGHUP or Ctrl+Break (its number), in the main thread: the run ends."""


def say(text, name="stderr"):
    """Writes text to sys.stdout or sys.stderr. One missing or broken (pythonw.exe, a reader
    gone) is dropped, nor flushed again at exit: it changes no outcome."""
    stream = getattr(sys, name)
    try:
        stream.write(text)
        stream.flush()
    except (AttributeError, OSError, ValueError):
        setattr(sys, name, None)


def smallest_shift(src, size, block):
    """The smallest index shift with which every offset fits in 31 bits, whatever the
    blocks compress to: none is stored larger than plainly, then padded."""
    count = -(-size // block)
    last = size - (count - 1) * block if count else 0
    for shift in range(MAX_SHIFT + 1):
        def up(n, mask=(1 << shift) - 1):
            return (n + mask) & ~mask
        end = up(HEADER.size + 4 * (count + 1)) + max(count - 1, 0) * up(block) + up(last)
        if end >> shift <= OFFSET_MASK:
            return shift
    raise Fault(src, "too large for a ZSO index")


class Progress:
    """Percent and speed on the console, rewritten in place a few times a second."""

    def __init__(self, total):
        self.total, self.start, self.shown = total, time.monotonic(), False
        self.last = self.start
        self.enabled = sys.stderr is not None and sys.stderr.isatty()

    def update(self, done):
        now = time.monotonic()
        if self.enabled and now - self.last >= PROGRESS_EVERY:
            self.last, self.shown = now, True
            say("\r{:5.1f} %  {:8.1f} MB/s ".format(
                100.0 * done / self.total if self.total else 100.0,
                done / max(now - self.start, 1e-9) / 1e6))

    def finish(self):
        if self.shown:
            say("\r" + " " * 30 + "\r")
        return time.monotonic() - self.start


# --- reading and writing -----------------------------------------------------------
def fill(f, view):
    """Fills view from f (a file or a pipe); returns how many bytes there were."""
    view, got = memoryview(view), 0
    while got < len(view):
        n = f.readinto(view[got:])
        if not n:
            break
        got += n
    return got


def read_into(src, fin, buf, at):
    """Fills buf with the bytes of fin (INFILE) from at on; returns buf."""
    try:
        fin.seek(at)
        got = fill(fin, buf)
    except OSError as e:
        raise cannot(src, "read", e)
    if got < len(buf):
        raise Fault(src, SHORTER, EXIT_UNREADABLE)
    return buf


def write_at(f, data, at):
    """Writes all of data into f from at on (an unbuffered file may take a part)."""
    f.seek(at)
    view = memoryview(data)
    while view:
        written = f.write(view)
        if not written:
            raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))
        view = view[written:]


def unchanged(src, fin, size, changed):
    """Refuses an input that is no longer the file it was when first opened, by its size
    and time of change: rewritten while read, what was read may be of no one version."""
    now = os.fstat(fin.fileno())
    if now.st_size < size:
        raise Fault(src, SHORTER, EXIT_UNREADABLE)
    if (now.st_size, now.st_mtime_ns) != (size, changed):
        raise Fault(src, "changed while being read", EXIT_UNREADABLE)


# --- compressing -------------------------------------------------------------------
class Packer:
    """Turns a batch of image bytes into the stored bytes of its blocks and their index
    entries relative to the batch start (which is always aligned)."""

    def __init__(self, level, block, threshold, shift, pad, batch):
        self.squeeze = partial(lz4_block.compress, store_size=False, **(
            {} if level == 1 else {"mode": "high_compression", "compression": level}))
        self.block, self.threshold, self.shift = block, threshold, shift
        self.mask = (1 << shift) - 1
        self.pad = bytes([pad])
        self.zeros = bytes(batch)
        self.zero_batch = self.pack(memoryview(self.zeros))

    def pack(self, view):
        """The one way blocks are stored: each compressed, or kept plainly where that
        keeps at least the threshold's percent of its size, then padded up to the
        alignment."""
        block, mask, threshold = self.block, self.mask, self.threshold
        blocks = [view[at:at + block] for at in range(0, len(view), block)]
        stored = list(map(self.squeeze, blocks))
        # Every block but the last has the full size, so one limit fits them all.
        limit = -(-threshold * block // 100)
        plain = [i for i, piece in enumerate(stored) if len(piece) >= limit]
        last = len(blocks) - 1
        if ((not plain or plain[-1] != last)
                and len(stored[last]) * 100 >= threshold * len(blocks[last])):
            plain.append(last)
        for i in plain:
            stored[i] = blocks[i]
        sizes = list(map(len, stored))
        if mask:
            gaps = [-n & mask for n in sizes]
            stored = [piece for s, gap in zip(stored, gaps) for piece in (s, self.pad * gap)]
            sizes = [n + gap for n, gap in zip(sizes, gaps)]
        starts = list(accumulate(sizes[:-1], initial=0))
        if self.shift:
            starts = [at >> self.shift for at in starts]
        for i in plain:
            starts[i] |= PLAIN
        # One write per batch; a batch of one block is written from where it is.
        return stored[0] if len(stored) == 1 else b"".join(stored), starts

    def __call__(self, buf, length):
        # Runs of zeros are common in images: a batch of them is stored once, up front.
        # (buf is a bytearray: compared as a memoryview it would take 60 times as long.)
        if length == len(self.zeros) and buf == self.zeros:
            return self.zero_batch
        return self.pack(memoryview(buf)[:length])


def place(f, data, starts, at, first, shift):
    """Writes a packed batch at offset at, and its index entries as those of the blocks
    from first on (their offsets fit in 31 bits: adding keeps the plain bits)."""
    write_at(f, data, at)
    base = at >> shift
    entries = array("I", [base + start for start in starts])
    if sys.byteorder != "little":
        entries.byteswap()
    write_at(f, entries, HEADER.size + 4 * first)


def compress(src, dst, fin, info, out, args, progress):
    size, block, f = info.st_size, args.block, out.file
    count = -(-size // block)
    shift = smallest_shift(src, size, block) if args.shift is None else args.shift
    batch = max(1, BATCH_BYTES // block) * block
    settings = (args.level, block, args.threshold, shift, args.pad, batch)
    packer = Packer(*settings)
    f.write(HEADER.pack(MAGIC, HEADER.size, size, block, VERSION, shift, 0))
    at = HEADER.size + 4 * (count + 1)
    write_at(f, packer.pad * (-at & packer.mask), at)  # padding up to the first block
    at, buf, done = at + (-at & packer.mask), bytearray(batch), 0

    def placed(job, read, want):  # the oldest batch under way: its place is known now
        nonlocal at, done
        stored = workers.answer(job) if workers.procs else len(job[0])
        if (at + stored) >> shift > OFFSET_MASK:
            raise Fault(dst, "the offsets do not fit in the index with shift {}; "
                        "leave -a out, or give a larger one".format(shift))
        if workers.procs:
            workers.tell(job, at)  # the worker writes it there
        else:
            place(f, *job, at, read // block, shift)
        at, done = at + stored, done + want
        progress.update(done)

    with Workers(src, out, info, size, batch, "pack", settings, args.workers) as workers:
        pending = deque()
        for read in range(0, size, batch):
            if len(pending) == workers.in_flight:
                placed(*pending.popleft())
            want = min(batch, size - read)
            if workers.procs:
                pending.append((workers.tell(None, read, want), read, want))
            else:
                read_into(src, fin, memoryview(buf)[:want], read)
                pending.append((packer(buf, want), read, want))
        while pending:
            placed(*pending.popleft())
    place(f, b"", [0], at, count, shift)  # the entry that marks where the data ends
    # Zeros up to a whole sector: tools that copy whole 2048-byte sectors (hard-disk
    # installers) would drop a last part one, and the end of the image with it.
    write_at(f, bytes(-at % SECTOR), at)
    return f.tell()


# --- worker processes ----------------------------------------------------------------
# LZ4 gets every core from processes, not threads, which queue for the interpreter's lock
# between its calls (one per 2 KiB block). A worker is this script with WORKER_FLAG, INFILE,
# the temporary file, INFILE's size and time of change, its role and settings. It reads
# its batches from INFILE and writes them into the temporary file itself: where they belong
# (compressing: with their index entries, where it is told); one size comes back for each.

WORKER_FLAG = "--worker"
MOST_WORKERS = 2             # each takes up to ~18 MiB: a third would take a run past 64 MiB
# From here on two workers took 0.55 to 0.85 times the time of one process on 2 cores idle,
# expanding or at -c 9; at -c 1 only from FAST_WORKERS_FROM, 0.78 to 0.86 (bench/ziso/run).
WORKERS_FROM, FAST_WORKERS_FROM = 128 << 20, 512 << 20
REQUEST = struct.Struct("<QI")  # offset and length: pack that; length 0: place the oldest
                                # packed batch at offset; expanding, the batch's first block
REPLY = struct.Struct("<BBI")   # 0, 0 and a size (stored or image bytes), or a fault's exit
                                # code, 1 if OUTFILE's, and the length of its message after


class Workers:
    """The worker processes of a run, given the batches in turn; with none, it works alone."""

    def __init__(self, src, out, info, size, batch, role, settings, wanted):
        self.src, self.dst, self.out, self.procs, self.turn = src, out.dst, out, [], 0
        self.in_flight = 1  # batches under way: with no worker, the one worked on here
        count = min(wanted, MOST_WORKERS, IN_FLIGHT_BYTES // batch)
        fast = role == "pack" and settings[0] == 1  # -c 1
        if count < 2 or not sys.executable or size < (
                FAST_WORKERS_FROM if fast else WORKERS_FROM):
            return
        import subprocess
        argv = [sys.executable, os.path.abspath(__file__), WORKER_FLAG, os.path.abspath(src),
                out.tmp, str(info.st_size), str(info.st_mtime_ns), role]
        # Neither a console's Ctrl+C nor a terminal's signals reach them: they end when
        # this process ends, as their input then ends.
        alone = {"creationflags": subprocess.CREATE_NO_WINDOW} if os.name == "nt" else {
            "start_new_session": True}
        out.workers = self  # ended by the cleanup, from before the first one starts
        try:
            for _ in range(count):
                self.procs.append(subprocess.Popen(
                    argv + [str(n) for n in settings], stdin=subprocess.PIPE,
                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, **alone))
        except OSError:
            return self.close(kill=True)  # worked on here, then
        # Two batches each, one to go on with while the other is taken; bounded in bytes.
        self.in_flight = min(2 * count, IN_FLIGHT_BYTES // batch)

    def __enter__(self):
        return self

    def __exit__(self, kind, value, trace):
        self.close(kill=kind is not None)

    def tell(self, proc, at, length=0):
        """Gives proc (None: the next in turn) its next request; returns proc."""
        if proc is None:
            proc, self.turn = self.procs[self.turn % len(self.procs)], self.turn + 1
        with suppress(OSError):  # one that has ended says so by its pipe
            proc.stdin.write(REQUEST.pack(at, length))
            proc.stdin.flush()
        return proc

    def answer(self, proc):
        """The size the process gives for its oldest batch, or the fault it tells."""
        reply = bytearray(REPLY.size)
        if fill(proc.stdout, reply) == len(reply):
            code, outfile, size = REPLY.unpack(reply)
            if not code:
                return size
            what = bytearray(size)
            if fill(proc.stdout, what) == size:
                raise Fault(self.dst if outfile else self.src, what.decode("utf-8", "replace"),
                            code)
        raise Fault(self.src, "a worker process ended unexpectedly (exit code {})".format(
            proc.wait()))

    def close(self, kill=False):
        """Ends the processes: at once when killing (from any thread), else once they
        have done all they were told, raising what went wrong in one."""
        for proc in self.procs:
            with suppress(OSError, ValueError):
                if kill:
                    proc.kill()
                proc.stdin.close()  # its input ends: it ends
        for proc in self.procs:
            proc.wait()
        self.out.workers = None
        if not kill:
            for proc in self.procs:
                if proc.returncode:
                    self.answer(proc)  # what it told, or else that it ended
                    raise Fault(self.src, "a worker process failed")
                proc.stdout.close()


def work(argv, requests, replies):
    """A worker's run: the batches named in its requests, until they end."""
    src, tmp, size, changed, role = argv[:5]
    settings = [int(n) for n in argv[5:]]
    try:
        try:
            global lz4_block
            import lz4.block as lz4_block
            fin = open_input(src)[0]
            unchanged(src, fin, int(size), int(changed))
            fout = open(long_path(tmp), "r+b", buffering=0)
            if role == "pack":
                packer, buf, unplaced = Packer(*settings), bytearray(settings[-1]), deque()
            else:
                unpacker = Unpacker(src, *settings)
            request = bytearray(REQUEST.size)
            while fill(requests, request) == len(request):
                at, length = REQUEST.unpack(request)
                if role != "pack":
                    reply = unpack_into(fout, unpacker, fin, at)
                elif length:
                    read_into(src, fin, memoryview(buf)[:length], at)
                    data, starts = packer(buf, length)
                    reply = len(data)
                    unplaced.append((bytes(data), starts, at // packer.block))
                else:
                    data, starts, first = unplaced.popleft()
                    place(fout, data, starts, at, first, packer.shift)
                    continue
                replies.write(REPLY.pack(0, 0, reply))
                replies.flush()
            return 0
        except Exception as e:  # told to the first process, which tells the user
            if isinstance(e, OSError):  # reading faults are Faults: this is writing
                e = cannot(tmp, "write", e)
            fault = e if isinstance(e, Fault) else Fault(src, "failed: {!r}".format(e))
            text = fault.what.encode("utf-8", "replace")
            replies.write(REPLY.pack(fault.code, fault.path != src, len(text)) + text)
            replies.flush()
            return EXIT_FAULT
    except OSError:
        return EXIT_FAULT  # the first process has gone


# --- expanding -----------------------------------------------------------------------
class Unpacker:
    """Turns the stored bytes of a batch of blocks back into image bytes, checking each
    block against its index entries."""

    def __init__(self, src, block, size, shift, file_size):
        self.src, self.block, self.size, self.shift = src, block, size, shift
        self.file_size = file_size
        self.mask = (1 << shift) - 1
        self.count = -(-size // block)
        self.data_start = HEADER.size + 4 * (self.count + 1)
        # What a block is stored in at the most: plainly, or LZ4's bound, and padding.
        self.longest = block + block // 255 + 16 + self.mask
        self.batch = max(1, min(BATCH_BYTES // block, BATCH_READ // self.longest))
        self.zeros = bytes(self.batch * block)
        self.runs = {}  # for each byte value, a number of mask + 1 such bytes

    def image_bytes(self, fin, first):
        """The image bytes of the batch from block first on, read from fin."""
        n = min(self.batch, self.count - first)
        entries = array("I")
        entries.frombytes(read_into(self.src, fin, bytearray(4 * (n + 1)),
                                    HEADER.size + 4 * first))
        if sys.byteorder != "little":
            entries.byteswap()
        start = (entries[0] & OFFSET_MASK) << self.shift
        end = (entries[-1] & OFFSET_MASK) << self.shift
        if first == 0 and start < self.data_start:
            raise Fault(self.src, "block 0 starts inside the index")
        blocks = "block {}".format(first) if n == 1 else "blocks {}-{}".format(
            first, first + n - 1)
        if end < start:
            raise Fault(self.src, "index out of order at " + blocks)
        if end > self.file_size:
            raise Fault(self.src, "index points past the end of the file at " + blocks)
        if end - start > n * self.longest:
            raise Fault(self.src, "the stored size of {} is more than any data needs"
                        .format(blocks))
        raw = read_into(self.src, fin, bytearray(end - start), start)
        at = [((entry & OFFSET_MASK) << self.shift) - start for entry in entries]
        for i in range(n):
            if at[i + 1] < at[i]:
                raise Fault(self.src, "index out of order at block {}".format(first + i))
        view = memoryview(raw)
        stored = [view[start:end] for start, end in zip(at, at[1:])]
        return (self.same_blocks(first, entries, raw)
                or b"".join(map(self.block_bytes, range(first, first + n), entries, stored)))

    def same_blocks(self, first, entries, raw):
        """Fast path for a run of identical blocks (zeros, mostly), decoded once; None
        when the batch is not one."""
        count = len(entries) - 1
        unit = len(raw) // count
        step = unit >> self.shift
        if (count < 2 or not unit or unit & self.mask or len(raw) != unit * count
                or (first + count) * self.block > self.size  # the last block is short
                or entries[:-1] != array("I", range(entries[0], entries[0] + count * step,
                                                    step))
                or raw != raw[:unit] * count):
            return None
        plain = self.block_bytes(first, entries[0], memoryview(raw)[:unit])
        if plain == self.zeros[:self.block]:
            return self.zeros[:count * self.block]
        return plain * count

    def block_bytes(self, number, entry, stored):
        """The one way a block is decoded: its image bytes from its stored bytes
        (padding included)."""
        want = min(self.block, self.size - number * self.block)
        if entry & PLAIN:
            if not want <= len(stored) <= want + self.mask:
                raise Fault(self.src, "plain block {} is {} bytes, not {}".format(
                    number, len(stored), want))
            return bytes(stored[:want])
        for end in self.block_ends(stored, want) if self.mask else (len(stored),):
            try:
                plain = lz4_block.decompress(stored[:end], uncompressed_size=want)
            except lz4_block.LZ4BlockError:
                continue
            # The decoder is content with fewer bytes than asked for.
            if len(plain) == want:
                return plain
        raise Fault(self.src, "block {} does not decode to {} bytes".format(number, want))

    def block_ends(self, stored, want):
        """Where the LZ4 block in stored may end, the likeliest first. With a shift above
        0 padding may follow it: a run of one byte value, shorter than the alignment; the
        decoder refuses bytes after the block and misses any cut from it, so only the true
        end decodes to the block's size. First where the run at the end begins, or past
        the literals of a last token (literals, no match) just before it; then past those
        of such tokens among the bytes before the run; then where a walk through the
        block's sequences ends: one pass, so that a corrupt block is refused at once."""
        n = len(stored)
        if not n:
            return
        start = self.run_start(stored)
        token = stored[start - 1] if start else 1
        first = start + (token >> 4) if not token & 15 and start + (token >> 4) <= n else start
        yield first
        tried = {first}
        before = bytes(stored[max(0, start - LAST_TOKEN_REACH):start])
        at = start - len(before)
        for i in range(len(before) - 1, -1, -1):
            end = at + i + 1 + (before[i] >> 4)
            if not before[i] & 15 and start <= end <= n and end not in tried:
                tried.add(end)
                yield end
        end = lz4_end(stored, want)
        if end is not None and start <= end and end not in tried:  # padding, as above
            yield end

    def run_start(self, stored):
        """Where the run of one byte value at the end of stored begins, as far back as
        padding can reach."""
        n = len(stored)
        reach = min(n, self.mask + 1)
        tail = stored[n - reach:]
        # The run is found as the high bytes of the tail, read as a number, that match a
        # number made of the run's byte alone: quicker than stripping it off.
        key = tail[-1] if reach == self.mask + 1 else None
        same = self.runs.get(key)
        if same is None:
            same = int.from_bytes(bytes(tail[-1:]) * reach, "little")
            if key is not None:
                self.runs[key] = same
        before = ((int.from_bytes(tail, "little") ^ same).bit_length() + 7) >> 3
        return n - min(reach - before, self.mask)


def lz4_end(stored, want):
    """Where the LZ4 block at the start of stored ends: after the literals of the sequence
    that brings it to want bytes. None where its sequences cannot make such a block."""
    n, at, made = len(stored), 0, 0

    def length(at, nibble):  # 15 goes on in bytes of 255 and one smaller
        if nibble < 15:
            return at, nibble
        end = FF_RUN.match(stored, at).end()
        return (end + 1, 15 + 255 * (end - at) + stored[end]) if end < n else (n, n + want)

    while at < n:
        token = stored[at]
        at, literals = length(at + 1, token >> 4)
        at, made = at + literals, made + literals
        if made >= want:
            return at if made == want and at <= n else None
        if at + 2 > n or not 0 < stored[at] | stored[at + 1] << 8 <= made:  # the offset
            return None
        at, match = length(at + 2, token & 15)
        made += match + 4
        if made >= want:  # the last sequence holds literals only
            return None
    return None


def unpack_into(fout, unpacker, fin, first):
    """Writes the batch from block first on into fout where it belongs; returns how many
    image bytes it holds. Zeros are left as a hole: quick, and a sparse image stays so."""
    data = unpacker.image_bytes(fin, first)
    if data != unpacker.zeros[:len(data)]:
        write_at(fout, data, first * unpacker.block)
    return len(data)


def expand(src, dst, fin, info, out, args, progress):
    file_size = info.st_size
    head = bytes(read_into(src, fin, bytearray(min(HEADER.size, file_size)), 0))
    if len(head) >= len(MAGIC) and head[:len(MAGIC)] != MAGIC:
        raise Fault(src, "not a ZSO file (it does not start with ZISO)")
    if len(head) < HEADER.size:
        raise Fault(src, "truncated header ({} of {} bytes)".format(len(head), HEADER.size))
    _, head_size, size, block, version, shift, _ = HEADER.unpack(head)
    for wrong, what, value in ((head_size != HEADER.size, "header size", head_size),
                               (version != VERSION, "ZSO version", version),
                               (not 0 < block <= MAX_BLOCK, "block size", block),
                               (shift > MAX_SHIFT, "index shift", shift)):
        if wrong:
            raise Fault(src, "unsupported {} {}".format(what, value))
    settings = (block, size, shift, file_size)
    unpacker = Unpacker(src, *settings)
    if unpacker.data_start > file_size:
        raise Fault(src, "truncated index: {} blocks need {} bytes, the file has {}".format(
            unpacker.count, unpacker.data_start, file_size))
    progress.total, done, due = size, 0, WRITEBACK_EVERY

    def expanded(job):
        nonlocal done, due
        done += workers.answer(job) if workers.procs else job
        progress.update(done)
        if done >= due and hasattr(os, "posix_fadvise"):  # where the system has it,
            due = done + WRITEBACK_EVERY  # writing starts now: the final fsync waits less
            out.file.flush()
            os.posix_fadvise(out.file.fileno(), 0, 0, os.POSIX_FADV_DONTNEED)

    with Workers(src, out, info, size, unpacker.batch * block, "unpack", settings,
                 args.workers) as workers:
        pending = deque()
        for first in range(0, unpacker.count, unpacker.batch):
            if len(pending) == workers.in_flight:
                expanded(pending.popleft())
            pending.append(workers.tell(None, first) if workers.procs else
                           unpack_into(out.file, unpacker, fin, first))
        while pending:
            expanded(pending.popleft())
    out.file.truncate(size)  # past a hole at the end
    return size


# --- files ---------------------------------------------------------------------------
def long_path(path, system=os.path):
    """The path as the file system is to be given it. On Windows that is the \\\\?\\ form of
    the absolute path, which any length passes, with long paths switched off too."""
    if system.__name__ != "ntpath" or path.startswith("\\\\?\\"):
        return path
    full = system.abspath(path)
    if full.startswith(("\\\\.\\", "\\\\?\\")):
        return full
    return "\\\\?\\UNC\\" + full[2:] if full.startswith("\\\\") else "\\\\?\\" + full


def check_paths(src, dst, force):
    """INFILE must be a regular file and no cue sheet (checked unopened: a pipe would block
    the opening); OUTFILE not INFILE, nor a folder, nor an existing file unless forced."""
    if src.lower().endswith(".cue"):
        raise Fault(src, "is a cue sheet; ZSO holds the image itself (.iso)")
    try:
        mode = os.stat(long_path(src)).st_mode
    except FileNotFoundError:
        raise Fault(src, "no such file")
    except OSError as e:
        raise cannot(src, "read", e)
    if stat.S_ISDIR(mode):
        raise Fault(src, "is a folder, not a file")
    if not stat.S_ISREG(mode):
        raise Fault(src, "is not a regular file (a pipe or a device?)")
    target = long_path(dst)
    if os.path.isdir(target):
        raise Fault(dst, "is a folder")
    if os.path.lexists(target):
        try:
            same = os.path.samefile(long_path(src), target)
        except OSError:
            same = False
        if same:
            raise Fault(dst, "is the input file")
        if not force:
            raise Fault(dst, "already exists (-f replaces it)")


def open_input(src):
    """INFILE opened, and what it was then (size, time of change)."""
    try:
        fin = open(long_path(src), "rb", buffering=0)
    except OSError as e:
        raise cannot(src, "read", e)
    info = os.fstat(fin.fileno())
    if not stat.S_ISREG(info.st_mode):
        fin.close()
        raise Fault(src, "is not a regular file (a pipe or a device?)")
    return fin, info


def patiently(action):
    """Runs action, again for up to HELD_WAIT seconds while Windows refuses the file as
    another program (an antivirus, say) has it open."""
    deadline = time.monotonic() + HELD_WAIT
    while True:
        try:
            return action()
        except OSError as e:  # denied, sharing violation, lock violation
            if getattr(e, "winerror", None) not in (5, 32, 33) or time.monotonic() >= deadline:
                raise
        time.sleep(0.05)


def sweep(folder):
    """Removes the temporary files that killed runs left in folder, and only those: Windows
    removes no open file, so a live run's is safe; elsewhere a live run locks its own."""
    try:
        names = [name for name in os.listdir(folder) if TMP_NAME.fullmatch(name)]
    except OSError:
        return
    for path in (os.path.join(folder, name) for name in names):
        with suppress(OSError):  # live, or not ours to remove
            if fcntl is None:
                os.remove(path)
                continue
            fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK | os.O_NOFOLLOW)
            try:  # removed while locked: a run that has just made it then makes another
                fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
                if stat.S_ISREG(os.fstat(fd).st_mode):
                    os.remove(path)
            finally:
                os.close(fd)


# Errors of os.link where the file system has no hard links.
NO_LINKS = {errno.EPERM, errno.EOPNOTSUPP, errno.ENOTSUP, errno.ENOSYS, errno.EMLINK,
            errno.EACCES}


class Output:
    """OUTFILE while it is written: a temporary file beside it, given its name only when
    complete. The one being written is Output.current, for the console handler; once
    Output.placing, the run's outcome is the placement's, whatever signal comes."""

    current = None
    placing = False

    def __init__(self, dst):
        self.dst, self.path, self.claim, self.lock = dst, long_path(dst), None, threading.Lock()
        self.workers = self.file = self.tmp = None  # workers: other processes writing into it
        Output.placing, Output.current = False, self  # abandon() removes all it makes from here
        folder = os.path.dirname(os.path.abspath(self.path))
        sweep(folder)
        import tempfile  # here: worker processes need none
        while True:
            try:
                fd, self.tmp = tempfile.mkstemp(prefix="~ziso-", suffix=".tmp", dir=folder)
            except OSError as e:
                raise cannot(dst, "create a file in " + os.path.dirname(os.path.abspath(dst)), e)
            self.file = open(fd, "wb")
            if self.locked(fd):
                break
            self.file.close()  # another run's sweep took it before the lock: another name
        mask = os.umask(0)  # mkstemp makes it private; OUTFILE gets the usual permissions
        os.umask(mask)
        with suppress(OSError):
            os.chmod(self.tmp, 0o666 & ~mask)

    def locked(self, fd):
        """Locks the new file against other runs' sweeps; False if one removed it first."""
        try:
            fcntl.flock(fd, fcntl.LOCK_EX)  # waits out a sweep that holds it
        except (AttributeError, OSError):
            return True  # Windows, or no locks here, where no sweep can lock it either
        try:
            return os.path.samestat(os.fstat(fd), os.stat(self.tmp))
        except FileNotFoundError:
            return False

    def finish(self, force):
        """Makes the data durable, then gives the file its name: atomically, and without
        force only if nothing has that name at that instant."""
        try:
            self.file.flush()
            os.fsync(self.file.fileno())
            if os.name == "nt":
                self.file.close()  # Windows renames no open file; elsewhere it keeps the lock
        except OSError as e:
            raise cannot(self.dst, "write", e)
        with self.lock:
            Output.placing = True
            try:
                patiently(partial(self.place, force))
            except OSError as e:
                Output.placing = False
                raise Fault(self.dst, "already exists (-f replaces it)" if isinstance(
                    e, FileExistsError) else "cannot give the finished file this name: {}"
                    .format(e.strerror or e))
            Output.current = None
            self.remove(self.tmp)  # a second name, after a hard link
            self.file.close()

    def place(self, force):
        if force:
            os.replace(self.tmp, self.path)
        elif os.name == "nt":
            os.rename(self.tmp, self.path)  # refuses an existing name
        else:
            try:
                os.link(self.tmp, self.path)  # refuses an existing name; tmp goes after
            except OSError as e:
                if e.errno not in NO_LINKS:
                    raise
                # Without hard links, the name is claimed by creating it; the finished
                # file then takes the claimed name's place.
                os.close(os.open(self.path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o666))
                self.claim = self.path
                os.replace(self.tmp, self.path)

    def abandon(self):
        """Removes what this run made: the temporary file, and a claimed name."""
        with self.lock:
            if Output.current is not self:
                return
            Output.current = None
            if self.workers is not None:
                self.workers.close(kill=True)  # Windows removes no file another has open
            with suppress(AttributeError, OSError, ValueError):  # made no file yet, or closed
                if threading.current_thread() is threading.main_thread():
                    self.file.close()
                else:
                    os.close(self.file.fileno())  # the main thread may be writing to it
            if self.tmp:
                self.remove(self.tmp)
            if self.claim:
                self.remove(self.claim)

    @staticmethod
    def remove(path):
        with suppress(OSError):
            patiently(partial(os.remove, path))


# --- stopping --------------------------------------------------------------------------

STOP_SIGNALS = [getattr(signal, name) for name in ("SIGINT", "SIGTERM", "SIGHUP", "SIGBREAK")
                if hasattr(signal, name)]
CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT = 2, 5, 6


def on_signal(signum, frame):
    """Ctrl+C, SIGTERM, SIGHUP and Ctrl+Break end the run, leaving nothing; from when OUTFILE
    is being given its name on they change nothing: the placement decides."""
    if Output.placing:
        return
    for number in STOP_SIGNALS:
        signal.signal(number, signal.SIG_IGN)  # cleaning up is not cut
    raise Stopped(signum)


def on_console_event(event):
    """Windows calls this on its own thread when the console window closes (or the user
    logs off), and ends the process about 5 s after, or once it returns: the temporary
    file is removed here. (Through the py launcher it may end sooner: the next run's.)"""
    if event not in (CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT):
        return False  # Ctrl+C and Ctrl+Break reach the main thread as signals
    out = Output.current
    if out is not None:
        out.abandon()
    return True


def catch_stops():
    """Lets the stop signals end the run cleanly, and the console window's closing remove
    the temporary file. Returns what undoes it."""
    previous = {number: signal.signal(number, on_signal) for number in STOP_SIGNALS}
    handler = None
    if os.name == "nt":
        from ctypes import WINFUNCTYPE, windll, wintypes
        handler = WINFUNCTYPE(wintypes.BOOL, wintypes.DWORD)(on_console_event)
        windll.kernel32.SetConsoleCtrlHandler(handler, True)

    def undo():
        for number, action in previous.items():
            signal.signal(number, action)
        if handler is not None:
            windll.kernel32.SetConsoleCtrlHandler(handler, False)
    return undo


# --- command line --------------------------------------------------------------------
class Parser(argparse.ArgumentParser):
    def error(self, message):
        self.exit(EXIT_USAGE, "{}: {} (ziso.py -h for help)\n".format(self.prog, message))


def ranged(name, low, high, base=10, powers=False):
    def parse(text):
        try:
            value = int(text, base)
        except ValueError:
            raise argparse.ArgumentTypeError("{} must be a number, not {!r}".format(name, text))
        if not low <= value <= high or powers and value & (value - 1):
            raise argparse.ArgumentTypeError("{} must be {}{} to {}, not {}".format(
                name, "a power of two from " if powers else "", low, high, value))
        return value
    return parse


def parse_args(argv):
    p = Parser(prog="ziso.py", formatter_class=argparse.RawDescriptionHelpFormatter,
               description="Compresses a disc image into a ZSO file (LZ4 blocks), or with "
                           "-c 0 turns a ZSO file back into the image.",
               epilog="OUTFILE is written under a temporary name beside it and named when "
                      "complete (without -f only if the name is still free): a failure, "
                      "Ctrl+C or a kill leaves no partial OUTFILE, and a killed run's "
                      "temporary file goes with the next run into that folder.\n"
                      "Needs the lz4 package: pip install lz4\n\n"
                      "exit codes:\n"
                      "  0      done\n"
                      "  1      any other fault; each is named in one line\n"
                      "  2      a wrong command line\n"
                      "  3      the Python package lz4 is missing\n"
                      "  4      no room for OUTFILE: its disk, or the user's quota, is full\n"
                      "  5      INFILE cannot be read (denied, a read error, or it changed)\n"
                      "  130    stopped by Ctrl+C\n"
                      "  128+N  stopped by signal N: 129 SIGHUP, 143 SIGTERM, 149 Ctrl+Break")
    p.add_argument("-c", dest="level", metavar="LEVEL", default=1, type=ranged("-c", 0, 12),
                   help="0 expands a ZSO file; 1 compresses with LZ4 (default); 2-12 with "
                        "LZ4 high compression at that level")
    p.add_argument("-b", dest="block", metavar="BLOCK", default=SECTOR,
                   type=ranged("-b", SECTOR, MAX_BLOCK, powers=True),
                   help="block size in bytes, a power of two from 2048 (default) to 16777216")
    p.add_argument("-t", dest="threshold", metavar="PERCENT", default=95,
                   type=ranged("-t", 0, 100),
                   help="store a block plainly when compressed it keeps at least this "
                        "percent of its size (default 95)")
    p.add_argument("-a", dest="shift", metavar="SHIFT", type=ranged("-a", 0, MAX_SHIFT),
                   help="index shift: blocks start at multiples of 2**SHIFT (default: the "
                        "smallest that fits the image)")
    p.add_argument("-p", dest="pad", metavar="PAD", default=0, type=ranged("-p", 0, 255, 0),
                   help="byte that fills the gaps before aligned blocks (default 0)")
    p.add_argument("-j", dest="workers", metavar="WORKERS",
                   default=max(1, min(os.cpu_count() or 1, 8)), type=ranged("-j", 1, 64),
                   help="how many processes work on an image of 128 MiB or more with -c 0 "
                        "or -c 2 to 12, or of 512 MiB with -c 1, at most 2 (default: the "
                        "number of cores); 1 works in this one alone")
    p.add_argument("-f", dest="force", action="store_true", help="replace OUTFILE if it exists")
    p.add_argument("infile", metavar="INFILE")
    p.add_argument("outfile", metavar="OUTFILE")
    return p.parse_args(argv)


def main(argv=None):
    """Runs the command line argv (sys.argv's by default); returns the exit code."""
    for stream in (sys.stdout, sys.stderr):  # names the console cannot show end no run
        if stream is not None and hasattr(stream, "reconfigure"):
            stream.reconfigure(errors="backslashreplace")
    args = parse_args(sys.argv[1:] if argv is None else argv)
    global lz4_block
    try:
        import lz4.block as lz4_block
    except ImportError:
        say("ziso.py: the Python package lz4 is missing; install it with: pip install lz4\n")
        return EXIT_NO_LZ4

    src, dst = args.infile, args.outfile
    undo = catch_stops()
    try:
        check_paths(src, dst, args.force)
        fin, info = open_input(src)
        with fin:
            progress = Progress(info.st_size)
            try:
                out = Output(dst)  # a temporary file beside OUTFILE: on any failure it goes
                try:
                    out_size = (expand if args.level == 0 else compress)(
                        src, dst, fin, info, out, args, progress)
                    unchanged(src, fin, info.st_size, info.st_mtime_ns)
                except OSError as e:
                    raise cannot(dst, "write", e)
                out.finish(args.force)
            finally:
                if Output.current is not None:  # also one stopped while being made
                    Output.current.abandon()
                seconds = progress.finish()
        # OUTFILE has its name: the run has succeeded, whatever comes now.
        in_size = info.st_size
        image, packed = (out_size, in_size) if args.level == 0 else (in_size, out_size)
        ratio = 100.0 * packed / image if image else 100.0
        say("{} ({:.1f} MB) -> {} ({:.1f} MB), {:.1f} %, {:.1f} s\n".format(
            src, in_size / 1e6, dst, out_size / 1e6, ratio, seconds), "stdout")
        return 0
    except Fault as e:
        say("ziso.py: {}\n".format(e))
        return e.code
    except Stopped as e:  # 128 + the signal's number: 130 after Ctrl+C
        what = "stopped by signal {}".format(e.args[0]) if e.args[0] != signal.SIGINT else ""
        say("\nziso.py: {}; {} was not written\n".format(what or "interrupted", dst))
        return 128 + e.args[0]
    except MemoryError:
        say("ziso.py: {}: out of memory\n".format(src))
        return EXIT_FAULT
    finally:
        if argv is not None:
            undo()  # a caller's own handlers back; a run as a program keeps its to the end


if __name__ == "__main__":
    if sys.argv[1:2] == [WORKER_FLAG]:
        sys.exit(work(sys.argv[2:], sys.stdin.buffer, sys.stdout.buffer))
    sys.exit(main())
