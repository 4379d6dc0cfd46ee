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
"""

import argparse
import errno
import os
import signal
import stat
import struct
import sys
import threading
import time
from array import array
from collections import deque
from functools import partial
from itertools import accumulate
from queue import Empty, SimpleQueue

MAGIC = b"ZISO"
HEADER = struct.Struct("<4sIQIBBH")
VERSION = 1
SECTOR = 2048
MAX_BLOCK = 16 << 20
MAX_SHIFT = 16
MAX_WORKERS = 64
PLAIN = 0x80000000
OFFSET_MASK = 0x7FFFFFFF
BATCH_BYTES = 1 << 20        # image bytes handed to a worker at a time (or one block)
BATCH_READ = 4 << 20         # most ZSO bytes read for one batch when expanding
IN_FLIGHT_BYTES = 8 << 20    # image bytes in the hands of the workers at once (or one batch)
LAST_TOKEN_REACH = 16        # bytes before a padded block's end run searched for its last token
HELD_WAIT = 2.0              # seconds the final rename waits for a file another program holds
WRITEBACK_EVERY = 32 << 20   # bytes written between nudges to write them to the disk
PROGRESS_EVERY = 0.25        # seconds between progress updates

EXIT_FAULT = 1
EXIT_USAGE = 2
EXIT_NO_LZ4 = 3
EXIT_INTERRUPTED = 130

lz4_block = None             # imported once the command line is read, so -h needs no lz4


class Fault(Exception):
    """A failure the user gets as one line: the file concerned and what is wrong."""

    def __init__(self, path, what):
        Exception.__init__(self, "{}: {}".format(path, what))
        self.path = path
        self.what = what


class Stopped(BaseException):
    """Raised in the main thread by SIGTERM, SIGHUP or Ctrl+Break: the run ends and leaves
    nothing behind."""

    def __init__(self, signum):
        BaseException.__init__(self, signum)
        self.signum = signum


def lz4_bound(n):
    """The most bytes LZ4 ever makes of n bytes."""
    return n + n // 255 + 16


def index_array(entries=()):
    a = array("I", entries)
    if a.itemsize != 4:
        raise RuntimeError("array('I') is not 32 bits wide on this Python")
    return a


def smallest_shift(src, size, block):
    """The smallest index shift with which every offset fits in 31 bits, whatever the
    blocks compress to: a block is never stored larger than plainly, and each one
    may be padded up to the alignment."""
    count = -(-size // block)
    last = size - (count - 1) * block if count else 0
    for shift in range(MAX_SHIFT + 1):
        def up(n, mask=(1 << shift) - 1):
            return (n + mask) & ~mask
        end = up(HEADER.size + 4 * (count + 1))
        if count:
            end += (count - 1) * up(block) + up(last)
        if end >> shift <= OFFSET_MASK:
            return shift
    raise Fault(src, "too large for a ZSO index")


class Progress:
    """Percent and speed on the console, rewritten in place a few times a second."""

    def __init__(self, total):
        self.total = total
        self.start = time.monotonic()
        self.last = self.start
        self.shown = False
        self.enabled = sys.stderr is not None and sys.stderr.isatty()

    def update(self, done):
        now = time.monotonic()
        if not self.enabled or now - self.last < PROGRESS_EVERY:
            return
        self.last = now
        rate = done / max(now - self.start, 1e-9) / 1e6
        percent = 100.0 * done / self.total if self.total else 100.0
        sys.stderr.write("\r{:5.1f} %  {:8.1f} MB/s ".format(percent, rate))
        sys.stderr.flush()
        self.shown = True

    def finish(self):
        if self.shown:
            sys.stderr.write("\r" + " " * 30 + "\r")
            sys.stderr.flush()
        return time.monotonic() - self.start


def read_full(f, view):
    """Fills view from f; returns how many bytes there were."""
    got = 0
    while got < len(view):
        n = f.readinto(view[got:])
        if not n:
            break
        got += n
    return got


class Writeback:
    """Starts writing the output to the disk as the run goes on, without waiting for it,
    where the system allows: the fsync at the end then has little left to wait for."""

    def __init__(self, f):
        self.f = f
        self.due = WRITEBACK_EVERY if hasattr(os, "posix_fadvise") else float("inf")

    def update(self, written):
        if written >= self.due:
            self.due = written + WRITEBACK_EVERY
            self.f.flush()
            os.posix_fadvise(self.f.fileno(), 0, 0, os.POSIX_FADV_DONTNEED)


def in_flight(helpers, batch_bytes):
    """How many batches may be under way at once: two for each helping process, one to go
    on with while the other is taken, and few enough that memory stays bounded in bytes
    whatever the block size. With no helping process, one."""
    return max(1, min(2 * helpers, IN_FLIGHT_BYTES // batch_bytes))


def helping(workers, size, batch_bytes):
    """How many other processes are to work on an image of size bytes: none for a small
    one, nor where their batches would take memory past its bound."""
    if size < HELPERS_FROM:
        return 0
    return min(workers, MOST_HELPERS, IN_FLIGHT_BYTES // batch_bytes)


def in_order(most, jobs, consume):
    """Starts the jobs, each a call that waits for its result, at most `most` ahead of the
    one awaited, and hands their results to consume in their order."""
    pending = deque()
    for job in jobs:
        pending.append(job)
        if len(pending) >= most:
            consume(pending.popleft()())
    while pending:
        consume(pending.popleft()())


def in_hole(f, at, length):
    """Whether the bytes from at on lie in a hole of a sparse file, known to be zeros
    without reading them. Where the system cannot tell, it is all data."""
    if not hasattr(os, "SEEK_DATA"):
        return False
    try:
        data = os.lseek(f.fileno(), at, os.SEEK_DATA)
    except OSError as e:
        # No data from at to the end: a hole, unless the file has become shorter, which
        # the read then finds.
        return e.errno == errno.ENXIO and os.fstat(f.fileno()).st_size >= at + length
    return data >= at + length


# --- compressing -------------------------------------------------------------------


class Packer:
    """Turns a batch of image bytes into the stored bytes of its blocks and their index
    entries relative to the batch start (which is always aligned)."""

    def __init__(self, level, block, threshold, shift, pad, batch):
        if level == 1:
            self.squeeze = partial(lz4_block.compress, store_size=False)
        else:
            self.squeeze = partial(lz4_block.compress, mode="high_compression",
                                   compression=level, store_size=False)
        self.block = block
        self.threshold = threshold
        self.shift = shift
        self.mask = (1 << shift) - 1
        self.pad = bytes([pad])
        self.zeros = bytes(batch)
        self.zero_batch = self.pack(memoryview(self.zeros))

    def kept_plainly(self, stored, data):
        """Whether a block is stored as its plain bytes: when compressed it keeps at
        least the threshold's percent of its size."""
        return len(stored) * 100 >= self.threshold * len(data)

    def pack(self, view):
        """The one way blocks are stored: each compressed, or kept plainly, then padded
        up to the alignment."""
        block, mask = self.block, self.mask
        blocks = [view[at:at + block] for at in range(0, len(view), block)]
        stored = list(map(self.squeeze, blocks))
        # Every block but the last has the full size, so one limit fits them all.
        limit = -(-self.threshold * block // 100)
        plain = [i for i, piece in enumerate(stored) if len(piece) >= limit]
        last = len(blocks) - 1
        if (not plain or plain[-1] != last) and self.kept_plainly(stored[last], blocks[last]):
            plain.append(last)
        for i in plain:
            stored[i] = blocks[i]
        sizes = list(map(len, stored))
        if mask:
            gaps = [-n & mask for n in sizes]
            pieces = []
            for piece, gap in zip(stored, gaps):
                pieces.append(piece)
                if gap:
                    pieces.append(self.pad * gap)
            stored = pieces
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


def read_into(src, fin, view, at):
    """Fills view with the bytes of fin (INFILE) from at on."""
    try:
        fin.seek(at)
        got = read_full(fin, view)
    except OSError as e:
        raise Fault(src, "cannot read: {}".format(e.strerror or e))
    if got < len(view):
        raise Fault(src, "became shorter while being read")


def write_at(f, data, at):
    """Writes all of data into f from at on (an unbuffered file may take a part)."""
    f.seek(at)
    view = memoryview(data)
    while view:
        written = f.write(view)
        if not written:
            raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))
        view = view[written:]


def compress(src, dst, fin, out, size, args, progress):
    fout = out.file
    block = args.block
    count = -(-size // block)
    shift = smallest_shift(src, size, block) if args.shift is None else args.shift
    batch = max(1, BATCH_BYTES // block) * block
    packer = Packer(args.level, block, args.threshold, shift, args.pad, batch)

    fout.write(HEADER.pack(MAGIC, HEADER.size, size, block, VERSION, shift, 0))
    # The index follows, each batch's entries written once its place is known: memory
    # does not grow with the image.
    at = HEADER.size + 4 * (count + 1)
    gap = -at & packer.mask
    write_at(fout, packer.pad * gap, at)
    at += gap
    indexed = 0  # blocks whose entries are written
    helpers = helping(args.workers, size, batch)
    writeback = Writeback(fout)
    done = 0

    def here(data, entries, got):
        """A batch packed in this process: its stored size, entries, what writes it at
        an offset, and its image bytes."""
        return len(data), entries, partial(write_at, fout, data), got

    def jobs(helpers):
        """Each batch started, as a call that waits for it to be packed."""
        buf = None if helpers else bytearray(batch)
        for read in range(0, size, batch):
            want = min(batch, size - read)
            if want == batch and in_hole(fin, read, want):
                yield partial(here, *packer.zero_batch, want)
            elif helpers:
                yield partial(packed_by, helpers, helpers.start(PACK, read, want), want)
            else:
                yield partial(pack_here, buf, read, want)

    def pack_here(buf, read, want):
        read_into(src, fin, memoryview(buf)[:want], read)
        return here(*packer(buf, want), want)

    def packed_by(helpers, answer, want):
        """A batch another process packed, and writes where it is told."""
        proc, stored, entries = answer()
        return stored, entries, partial(helpers.tell, proc, PLACE), want

    def write_entries(entries):
        nonlocal indexed
        entries = index_array(entries)
        if sys.byteorder != "little":
            entries.byteswap()
        write_at(fout, entries, HEADER.size + 4 * indexed)
        indexed += len(entries)

    def consume(result):
        nonlocal at, done
        stored, entries, place, got = result
        base = at >> shift
        if (at + stored) >> shift > OFFSET_MASK:
            raise Fault(dst, "the offsets do not fit in the index with shift {}; "
                        "leave -a out, or give a larger one".format(shift))
        write_entries(map(base.__add__, entries))
        place(at)
        at += stored
        writeback.update(at)
        done += got
        progress.update(done)

    with Helpers(src, dst, out, helpers, PACK_SETUP.pack(
            PACK, args.level, block, args.threshold, shift, args.pad, batch)) as helpers:
        in_order(in_flight(helpers.count, batch), jobs(helpers), consume)
        helpers.finish()
    if indexed != count:
        raise Fault(dst, "internal error: {} index entries for {} blocks".format(
            indexed, count))
    write_entries([at >> shift])
    return at


# --- other processes ---------------------------------------------------------------
#
# LZ4 gets every core from processes of its own: threads in one process cannot give it
# that, as each call handles one 2 KiB block and the threads queue for the interpreter's
# lock between the calls. Each helper is this script started with HELPER_FLAG. It reads
# its batches from INFILE and writes them into the temporary file itself: expanding,
# where each belongs in the image; compressing, where this process tells it once the
# batches before it are packed. Only sizes and index entries come back through its pipe.

HELPER_FLAG = "--helper"
MOST_HELPERS = 2             # each takes up to ~18 MiB: a third would take a run past 64 MiB
HELPERS_FROM = 32 << 20      # smaller images are worked on in the one process
PACK_SETUP = struct.Struct("<BBIBBBI")  # PACK, level, block, threshold, shift, pad, batch
UNPACK_SETUP = struct.Struct("<BIQBQ")  # UNPACK, block, image size, shift, ZSO file size
NAMES = struct.Struct("<II")            # lengths of INFILE's and the temporary file's names
REQUEST = struct.Struct("<BQI")         # what to do, and its offset and length
PACK = 1                                # pack the image bytes from offset on
PLACE = 2                               # write the oldest batch packed at offset
UNPACK = 3                              # unpack the batch from block offset on, write it
REPLY = struct.Struct("<iI")            # index entries (or UNREADABLE, UNWRITABLE), size
                                        # (of the stored batch, the image bytes, a message)
UNREADABLE = -1
UNWRITABLE = -2


def read_exactly(f, length):
    """length bytes from f, or None at its end."""
    data = bytearray(length)
    return data if read_full(f, memoryview(data)) == length else None


class Helpers:
    """The processes that work on batches for this run, given them in turn; with none,
    the run works in its own process. Each one's answers are taken from its pipe as they
    come, by a thread of its own, so that no process waits to be heard before it goes on
    to its next batch."""

    def __init__(self, src, dst, out, count, setup):
        self.src = src
        self.dst = dst
        self.out = out
        self.procs = []
        self.listeners = []
        self.turn = 0
        if count < 2 or not sys.executable:
            return
        names = os.fsencode(os.path.abspath(src)), os.fsencode(out.tmp)
        setup += NAMES.pack(*map(len, names)) + b"".join(names)
        import subprocess
        # Neither a console's Ctrl+C nor a terminal's signals reach them: they end when
        # this process ends, as their input then ends.
        alone = {"creationflags": subprocess.CREATE_NO_WINDOW} if os.name == "nt" else {
            "start_new_session": True}
        try:
            for _ in range(count):
                proc = subprocess.Popen(
                    [sys.executable, os.path.abspath(__file__), HELPER_FLAG],
                    stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                    **alone)
                proc.answers = SimpleQueue()
                self.procs.append(proc)
                proc.stdin.write(setup)
                proc.stdin.flush()
        except OSError:
            self.close(kill=True)  # worked on here, then
            return
        out.helpers = self  # ended before the temporary file is removed
        for proc in self.procs:
            listener = threading.Thread(target=self.listen, args=(proc,), daemon=True)
            listener.start()
            self.listeners.append(listener)

    @property
    def count(self):
        return len(self.procs)

    def __bool__(self):
        return bool(self.procs)

    def __enter__(self):
        return self

    def __exit__(self, kind, value, trace):
        self.close(kill=kind is not None)

    def start(self, kind, at, length=0):
        """Gives the batch to the next process; returns the call that waits for its
        answer: the process, the size and the entries."""
        proc = self.procs[self.turn % len(self.procs)]
        self.turn += 1
        self.tell(proc, kind, at, length)
        return partial(self.answer, proc)

    def tell(self, proc, kind, at, length=0):
        try:
            proc.stdin.write(REQUEST.pack(kind, at, length))
            proc.stdin.flush()
        except OSError:
            pass  # it has ended: its pipe says so

    def answer(self, proc):
        answer = None
        while answer is None:  # in steps, which Ctrl+C can interrupt on Windows too
            try:
                answer = proc.answers.get(timeout=PROGRESS_EVERY)
            except Empty:
                pass
        if isinstance(answer, Fault):
            raise answer
        return (proc,) + answer

    def listen(self, proc):
        """Takes the process's answers from its pipe until it ends."""
        try:
            while True:
                entries, size = REPLY.unpack(self.receive(proc, REPLY.size))
                if entries < 0:
                    what = self.receive(proc, size).decode("utf-8", "replace")
                    raise Fault(self.src if entries == UNREADABLE else self.dst, what)
                starts = index_array()
                starts.frombytes(self.receive(proc, 4 * entries))
                proc.answers.put((size, starts))
        except Fault as e:
            proc.answers.put(e)

    def receive(self, proc, length):
        try:
            data = read_exactly(proc.stdout, length)
        except (OSError, ValueError):
            data = None
        if data is None:
            raise Fault(self.src, "a worker process ended unexpectedly (exit code "
                        "{})".format(proc.wait()))
        return data

    def finish(self):
        """Lets the processes write what they were told to, and end; raises what went
        wrong in one."""
        procs = self.procs
        self.close(kill=False)
        for proc in procs:
            if proc.returncode:
                told = proc.answers.get()  # what it told, or else why it ended
                raise told if isinstance(told, Fault) else Fault(self.src, "a worker "
                    "process ended unexpectedly (exit code {})".format(proc.returncode))

    def kill(self):
        """Ends the processes at once (from any thread)."""
        for proc in self.procs:
            try:
                proc.kill()
                proc.wait(HELD_WAIT)
            except Exception:
                pass

    def close(self, kill):
        if kill:
            self.kill()
        for proc in self.procs:
            try:
                proc.stdin.close()  # its input ends: it ends
            except OSError:
                pass
        for proc in self.procs:
            proc.wait()
        for listener in self.listeners:
            listener.join()
        for proc in self.procs:
            proc.stdout.close()
        self.procs = []
        self.listeners = []
        self.out.helpers = None


def serve(requests, replies):
    """The work of a process started with HELPER_FLAG: its setup comes first, then what to
    do, until the requests end."""
    role = read_exactly(requests, 1)
    setup = PACK_SETUP if role and role[0] == PACK else UNPACK_SETUP
    head = role and read_exactly(requests, setup.size - 1)
    lengths = head and read_exactly(requests, NAMES.size)
    names = lengths and read_exactly(requests, sum(NAMES.unpack(lengths)))
    if names is None:
        return EXIT_FAULT
    settings = setup.unpack(role + head)[1:]
    split = NAMES.unpack(lengths)[0]
    src, tmp = os.fsdecode(bytes(names[:split])), os.fsdecode(bytes(names[split:]))
    try:
        try:
            global lz4_block
            import lz4.block as lz4_block
            fin = open_input(src)[0]
            try:
                fout = open(long_path(tmp), "r+b", buffering=0)
            except OSError as e:
                raise Fault(tmp, "cannot write: {}".format(e.strerror or e))
            if setup is PACK_SETUP:
                packer = Packer(*settings)
                buf = bytearray(settings[-1])
                unplaced = deque()
            else:
                unpacker = Unpacker(src, *settings)
            while True:
                request = read_exactly(requests, REQUEST.size)
                if request is None:
                    return 0
                kind, at, length = REQUEST.unpack(request)
                if kind == PACK:
                    read_into(src, fin, memoryview(buf)[:length], at)
                    data, starts = packer(buf, length)
                    unplaced.append(bytes(data) if isinstance(data, memoryview) else data)
                    replies.write(REPLY.pack(len(starts), len(data)))
                    replies.write(index_array(starts))
                elif kind == PLACE:
                    written(tmp, write_at, fout, unplaced.popleft(), at)
                else:
                    replies.write(REPLY.pack(0, written(
                        tmp, unpack_into, fout, unpacker, fin, at)))
                replies.flush()
        except Exception as e:  # told to the first process, which tells the user
            failed = UNWRITABLE if isinstance(e, Fault) and e.path == tmp else UNREADABLE
            what = e.what if isinstance(e, Fault) else "failed: {!r}".format(e)
            text = what.encode("utf-8", "replace")
            replies.write(REPLY.pack(failed, len(text)) + text)
            replies.flush()
            return EXIT_FAULT
    except OSError:
        return EXIT_FAULT  # the first process has gone


def written(tmp, write, *args):
    """write(*args), its errors told as the temporary file's."""
    try:
        return write(*args)
    except OSError as e:
        raise Fault(tmp, "cannot write: {}".format(e.strerror or e))


# --- expanding -----------------------------------------------------------------------


class Unpacker:
    """Turns the stored bytes of a batch of blocks back into image bytes, checking each
    block against its index entries."""

    def __init__(self, src, block, size, shift, file_size):
        self.src = src
        self.block = block
        self.size = size
        self.shift = shift
        self.file_size = file_size
        self.mask = (1 << shift) - 1
        self.count = -(-size // block)
        self.data_start = HEADER.size + 4 * (self.count + 1)
        self.longest = max(block, lz4_bound(block)) + self.mask  # stored, at the most
        self.batch = max(1, min(BATCH_BYTES // block, BATCH_READ // self.longest))
        self.zeros = bytes(self.batch * block)
        self.zero_block = self.zeros[:block]
        self.runs = {}  # for each byte value, a number of mask + 1 such bytes

    def image_bytes(self, fin, first):
        """The image bytes of the batch from block first on, read from fin."""
        n = min(self.batch, self.count - first)
        entries = index_array()
        entries.frombytes(self.read_at(fin, HEADER.size + 4 * first, 4 * (n + 1)))
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
            raise Fault(self.src, "the stored size of {} is more than any data needs".format(
                blocks))
        return self(first, entries, self.read_at(fin, start, end - start), start)

    def read_at(self, fin, at, length):
        data = bytearray(length)
        read_into(self.src, fin, memoryview(data), at)
        return data

    def is_zeros(self, data):
        return data == (self.zeros if len(data) == len(self.zeros) else bytes(len(data)))

    def __call__(self, first, entries, raw, base):
        """The batch's image bytes."""
        count = len(entries) - 1
        shift = self.shift
        at = [((entry & OFFSET_MASK) << shift) - base for entry in entries]
        for i in range(count):
            if at[i + 1] < at[i]:
                raise Fault(self.src, "index out of order at block {}".format(first + i))
        view = memoryview(raw)
        stored = [view[start:end] for start, end in zip(at, at[1:])]
        return (self.same_blocks(first, entries, raw)
                or b"".join(map(self.block_bytes, range(first, first + count), entries, stored)))

    def same_blocks(self, first, entries, raw):
        """Fast path for a run of identical blocks (zeros, mostly), decoded once; None
        when the batch is not one."""
        count = len(entries) - 1
        unit = len(raw) // count
        if count < 2 or not unit or unit & self.mask or len(raw) != unit * count:
            return None
        if (first + count) * self.block > self.size:  # the image's last block is short
            return None
        step = unit >> self.shift
        if entries[:-1] != index_array(range(entries[0], entries[0] + count * step, step)):
            return None
        if raw != raw[:unit] * count:
            return None
        plain = self.block_bytes(first, entries[0], memoryview(raw)[:unit])
        if plain == self.zero_block:
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
        for end in self.block_ends(stored) if self.mask else (len(stored),):
            try:
                plain = lz4_block.decompress(stored[:end], uncompressed_size=want)
            except lz4_block.LZ4BlockError:
                continue
            # The decoder is content with fewer bytes than asked for.
            if len(plain) == want:
                return plain
        raise Fault(self.src, "block {} does not decode to {} bytes".format(number, want))

    def block_ends(self, stored):
        """Where the LZ4 block in stored may end, the likeliest first. With a shift above
        0 padding may follow it: a run of one byte value, shorter than the alignment. The
        decoder refuses bytes after the block and misses any cut from it, so only the
        true end decodes to the block's size.

        The block most likely ends where the run at the end of stored begins, unless the
        byte before the run reads as the block's last token (literals, no match): then
        its literals are the run's first bytes. Failing those, the last token is looked
        for among the bytes before the run, whose literals would reach into it."""
        n = len(stored)
        if not n:
            return
        start = self.run_start(stored)
        token = stored[start - 1] if start else 1
        first = start + (token >> 4) if not token & 15 and start + (token >> 4) <= n else start
        yield first
        tried = [first]
        before = bytes(stored[max(0, start - LAST_TOKEN_REACH):start])
        at = start - len(before)
        for i in range(len(before) - 1, -1, -1):
            end = at + i + 1 + (before[i] >> 4)
            if not before[i] & 15 and start <= end <= n and end not in tried:
                tried.append(end)
                yield end
        for end in range(max(1, start), n + 1):
            if end not in tried:
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


def unpack_into(fout, unpacker, fin, first):
    """Writes the batch from block first on into fout where it belongs; returns how many
    image bytes it holds. Zeros are left as a hole: quick, and a sparse image stays so."""
    data = unpacker.image_bytes(fin, first)
    if not unpacker.is_zeros(data):
        write_at(fout, data, first * unpacker.block)
    return len(data)


def read_some(src, fin, at, length):
    """Up to length bytes of fin from at, fewer only at the end of the file."""
    data = bytearray(length)
    try:
        fin.seek(at)
        got = read_full(fin, memoryview(data))
    except OSError as e:
        raise Fault(src, "cannot read: {}".format(e.strerror or e))
    del data[got:]
    return data


def expand(src, dst, fin, out, file_size, workers, progress):
    fout = out.file
    head = bytes(read_some(src, fin, 0, HEADER.size))
    if len(head) >= len(MAGIC) and head[:len(MAGIC)] != MAGIC:
        raise Fault(src, "not a ZSO file (it does not start with ZISO)")
    if len(head) < HEADER.size:
        raise Fault(src, "truncated header ({} of {} bytes)".format(len(head), HEADER.size))
    _, head_size, size, block, version, shift, _ = HEADER.unpack(head)
    if head_size != HEADER.size:
        raise Fault(src, "unsupported header size {}".format(head_size))
    if version != VERSION:
        raise Fault(src, "unsupported ZSO version {}".format(version))
    if not 0 < block <= MAX_BLOCK:
        raise Fault(src, "unsupported block size {}".format(block))
    if shift > MAX_SHIFT:
        raise Fault(src, "unsupported index shift {}".format(shift))
    count = -(-size // block)
    data_start = HEADER.size + 4 * (count + 1)
    if data_start > file_size:
        raise Fault(src, "truncated index: {} blocks need {} bytes, the file has {}".format(
            count, data_start, file_size))

    progress.total = size
    unpacker = Unpacker(src, block, size, shift, file_size)
    helpers = helping(workers, size, unpacker.batch * block)
    writeback = Writeback(fout)
    done = 0

    def here(first):
        return None, unpack_into(fout, unpacker, fin, first), None

    def consume(result):
        nonlocal done
        done += result[1]
        writeback.update(done)
        progress.update(done)

    with Helpers(src, dst, out, helpers, UNPACK_SETUP.pack(
            UNPACK, block, size, shift, file_size)) as helpers:
        in_order(in_flight(helpers.count, unpacker.batch * block),
                 (helpers.start(UNPACK, first) if helpers else partial(here, first)
                  for first in range(0, unpacker.count, unpacker.batch)), consume)
        helpers.finish()
    if done != size:
        raise Fault(src, "internal error: {} bytes out of {}".format(done, size))
    fout.truncate(size)  # past a hole at the end
    return size


# --- files ---------------------------------------------------------------------------


def long_path(path, system=os.path):
    """The path as the file system is to be given it. On Windows that is the \\\\?\\ form of
    the absolute path, which any length passes, with long paths switched off too."""
    if system.__name__ != "ntpath" or path.startswith("\\\\?\\"):
        return path
    full = system.abspath(path)
    if full.startswith("\\\\.\\") or full.startswith("\\\\?\\"):
        return full
    if full.startswith("\\\\"):
        return "\\\\?\\UNC\\" + full[2:]
    return "\\\\?\\" + full


def check_paths(src, dst, force):
    """The input must be a regular file and no cue sheet; the output must not be the
    input, nor a folder, nor an existing file unless forced. Nothing is opened yet: a
    pipe would block the opening."""
    if src.lower().endswith(".cue"):
        raise Fault(src, "is a cue sheet; ZSO holds the image itself (.iso)")
    try:
        mode = os.stat(long_path(src)).st_mode
    except FileNotFoundError:
        raise Fault(src, "no such file")
    except OSError as e:
        raise Fault(src, "cannot read: {}".format(e.strerror or e))
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
    try:
        fin = open(long_path(src), "rb", buffering=0)
    except OSError as e:
        raise Fault(src, "cannot read: {}".format(e.strerror or e))
    info = os.fstat(fin.fileno())
    if not stat.S_ISREG(info.st_mode):
        fin.close()
        raise Fault(src, "is not a regular file (a pipe or a device?)")
    return fin, info.st_size


def held(error):
    """Whether Windows refused a file because another program (an antivirus, say) has
    it open."""
    return getattr(error, "winerror", None) in (5, 32, 33)  # denied, sharing, lock


def patiently(action):
    """Runs action, again for up to HELD_WAIT seconds while the file is held."""
    deadline = time.monotonic() + HELD_WAIT
    while True:
        try:
            return action()
        except OSError as e:
            if not held(e) or time.monotonic() >= deadline:
                raise
        time.sleep(0.05)


# Errors of os.link where the file system has no hard links.
NO_LINKS = {errno.EPERM, errno.EOPNOTSUPP, errno.ENOTSUP, errno.ENOSYS, errno.EMLINK,
            errno.EACCES}


class Output:
    """OUTFILE while it is written: a temporary file beside it, given its name only when
    complete. The one being written is Output.current, for the console handler."""

    current = None

    def __init__(self, dst):
        self.dst = dst
        self.path = long_path(dst)
        self.claim = None
        self.helpers = None  # other processes writing into it, if any
        self.lock = threading.Lock()
        folder = os.path.dirname(os.path.abspath(self.path))
        import tempfile  # here: compressing processes need none
        try:
            fd, self.tmp = tempfile.mkstemp(prefix="~ziso-", suffix=".tmp", dir=folder)
        except OSError as e:
            raise Fault(dst, "cannot create a file in {}: {}".format(
                os.path.dirname(os.path.abspath(dst)), e.strerror or e))
        self.file = open(fd, "wb")
        Output.current = self
        # mkstemp makes the file private; the result gets the usual permissions.
        mask = os.umask(0)
        os.umask(mask)
        try:
            os.chmod(self.tmp, 0o666 & ~mask)
        except OSError:
            pass

    def finish(self, force):
        """Makes the data durable, then gives the file its name: atomically, and without
        force only if nothing has that name at that instant."""
        try:
            self.file.flush()
            os.fsync(self.file.fileno())
            self.file.close()
        except OSError as e:
            raise Fault(self.dst, "cannot write: {}".format(e.strerror or e))
        with self.lock:
            try:
                patiently(partial(self.place, force))
            except FileExistsError:
                raise Fault(self.dst, "already exists (-f replaces it)")
            except OSError as e:
                raise Fault(self.dst, "cannot give the finished file this name: {}".format(
                    e.strerror or e))
            self.claim = None
            self.remove(self.tmp)
            Output.current = None

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
            if self.helpers:
                self.helpers.kill()  # Windows removes no file another process has open
            try:
                if threading.current_thread() is threading.main_thread():
                    self.file.close()
                else:
                    os.close(self.file.fileno())  # the main thread may be writing to it
            except (OSError, ValueError):
                pass
            self.remove(self.tmp)
            if self.claim:
                self.remove(self.claim)

    @staticmethod
    def remove(path):
        try:
            patiently(partial(os.remove, path))
        except OSError:
            pass


def write_output(dst, force, body):
    """Runs body(out) on a temporary file beside dst (out.file), then gives it dst's name.
    On any failure the temporary file goes and dst is left as it was."""
    out = Output(dst)
    try:
        try:
            result = body(out)
        except OSError as e:
            raise Fault(dst, "cannot write: {}".format(e.strerror or e))
        out.finish(force)
        return result
    finally:
        out.abandon()


# --- stopping --------------------------------------------------------------------------

CTRL_CLOSE_EVENT = 2
CTRL_LOGOFF_EVENT = 5
CTRL_SHUTDOWN_EVENT = 6


def on_signal(signum, frame):
    for name in ("SIGTERM", "SIGHUP", "SIGBREAK"):
        if hasattr(signal, name):
            signal.signal(getattr(signal, name), signal.SIG_IGN)  # cleaning up is not cut
    raise Stopped(signum)


def on_console_event(event):
    """Windows calls this on its own thread when the console window closes (or the user
    logs off), and ends the process about 5 s after, or as soon as it returns: the
    temporary file is removed here, not left to the main thread."""
    if event not in (CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT):
        return False  # Ctrl+C and Ctrl+Break reach the main thread as signals
    out = Output.current
    if out is not None:
        out.abandon()
    return True


def catch_stops():
    """Lets SIGTERM, SIGHUP and Ctrl+Break stop the run as Ctrl+C does, and the console
    window's closing remove the temporary file. Returns what undoes it."""
    previous = {}
    for name in ("SIGTERM", "SIGHUP", "SIGBREAK"):
        if hasattr(signal, name):
            number = getattr(signal, name)
            previous[number] = signal.signal(number, on_signal)
    handler = None
    if os.name == "nt":
        import ctypes
        from ctypes import wintypes
        kind = ctypes.WINFUNCTYPE(wintypes.BOOL, wintypes.DWORD)
        handler = kind(on_console_event)  # kept referenced while it is installed
        ctypes.windll.kernel32.SetConsoleCtrlHandler(handler, True)

    def undo():
        for number, action in previous.items():
            signal.signal(number, action)
        if handler is not None:
            ctypes.windll.kernel32.SetConsoleCtrlHandler(handler, False)
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
    p = Parser(
        prog="ziso.py",
        formatter_class=argparse.RawDescriptionHelpFormatter,
        description="Compresses a disc image into a ZSO file (LZ4 blocks), or with -c 0 "
                    "turns a ZSO file back into the image.",
        epilog="OUTFILE is written under a temporary name beside it and given its name "
               "when complete (without -f only if that name is still free), so a failure, "
               "Ctrl+C or a kill leaves no partial OUTFILE.\n"
               "Needs the lz4 package: pip install lz4\n\n"
               "exit codes:\n"
               "  0      done\n"
               "  1      a fault, named in one line\n"
               "  2      a wrong command line\n"
               "  3      the Python package lz4 is missing\n"
               "  130    stopped by Ctrl+C\n"
               "  128+N  stopped by signal N: 129 SIGHUP, 143 SIGTERM, 149 Ctrl+Break")
    p.add_argument("-c", dest="level", metavar="LEVEL", default=1,
                   type=ranged("-c", 0, 12),
                   help="0 expands a ZSO file; 1 compresses with LZ4 (default); 2-12 with "
                        "LZ4 high compression at that level")
    p.add_argument("-b", dest="block", metavar="BLOCK", default=SECTOR,
                   type=ranged("-b", SECTOR, MAX_BLOCK, powers=True),
                   help="block size in bytes, a power of two from 2048 (default) to "
                        "16777216")
    p.add_argument("-t", dest="threshold", metavar="PERCENT", default=95,
                   type=ranged("-t", 0, 100),
                   help="store a block plainly when compressed it keeps at least this "
                        "percent of its size (default 95)")
    p.add_argument("-a", dest="shift", metavar="SHIFT", default=None,
                   type=ranged("-a", 0, MAX_SHIFT),
                   help="index shift: blocks start at multiples of 2**SHIFT (default: the "
                        "smallest that fits the image)")
    p.add_argument("-p", dest="pad", metavar="PAD", default=0, type=ranged("-p", 0, 255, 0),
                   help="byte that fills the gaps before aligned blocks (default 0)")
    p.add_argument("-j", dest="workers", metavar="WORKERS",
                   default=max(1, min(os.cpu_count() or 1, 8)),
                   type=ranged("-j", 1, MAX_WORKERS),
                   help="how many processes work on an image of 32 MiB or more, at most "
                        "2 (default: the number of cores); 1 works in this one alone")
    p.add_argument("-f", dest="force", action="store_true",
                   help="replace OUTFILE if it exists")
    p.add_argument("infile", metavar="INFILE")
    p.add_argument("outfile", metavar="OUTFILE")
    return p.parse_args(argv)


def megabytes(n):
    return "{:.1f} MB".format(n / 1e6)


def main(argv=None):
    for stream in (sys.stdout, sys.stderr):
        # Names the console cannot show must not end the run.
        if stream is not None and hasattr(stream, "reconfigure"):
            stream.reconfigure(errors="backslashreplace")
    args = parse_args(sys.argv[1:] if argv is None else argv)
    global lz4_block
    try:
        import lz4.block as lz4_block
    except ImportError:
        sys.stderr.write("ziso.py: the Python package lz4 is missing; "
                         "install it with: pip install lz4\n")
        return EXIT_NO_LZ4

    src, dst = args.infile, args.outfile
    undo = catch_stops()
    try:
        check_paths(src, dst, args.force)
        fin, in_size = open_input(src)
        with fin:
            progress = Progress(in_size)
            try:
                if args.level == 0:
                    out_size = write_output(dst, args.force, lambda out: expand(
                        src, dst, fin, out, in_size, args.workers, progress))
                else:
                    out_size = write_output(dst, args.force, lambda out: compress(
                        src, dst, fin, out, in_size, args, progress))
            finally:
                seconds = progress.finish()
    except Fault as e:
        sys.stderr.write("ziso.py: {}\n".format(e))
        return EXIT_FAULT
    except KeyboardInterrupt:
        sys.stderr.write("\nziso.py: interrupted; {} was not written\n".format(dst))
        return EXIT_INTERRUPTED
    except Stopped as e:
        sys.stderr.write("\nziso.py: stopped by signal {}; {} was not written\n".format(
            e.signum, dst))
        return 128 + e.signum
    except MemoryError:
        sys.stderr.write("ziso.py: {}: out of memory\n".format(src))
        return EXIT_FAULT
    finally:
        undo()

    image, packed = (out_size, in_size) if args.level == 0 else (in_size, out_size)
    ratio = 100.0 * packed / image if image else 100.0
    sys.stdout.write("{} ({}) -> {} ({}), {:.1f} %, {:.1f} s\n".format(
        src, megabytes(in_size), dst, megabytes(out_size), ratio, seconds))
    return 0


if __name__ == "__main__":
    if sys.argv[1:] == [HELPER_FLAG]:
        sys.exit(serve(sys.stdin.buffer, sys.stdout.buffer))
    sys.exit(main())
