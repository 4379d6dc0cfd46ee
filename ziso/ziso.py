#!/usr/bin/env python3
"""ziso.py: compresses a disc image into a ZSO file (LZ4 blocks) and back.

    ziso.py [-c LEVEL] [-b BLOCK] [-t PERCENT] [-a SHIFT] [-p PAD] [-f] INFILE OUTFILE

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
import stat
import struct
import sys
import tempfile
import time
from array import array
from collections import deque
from concurrent.futures import ThreadPoolExecutor
from functools import partial

MAGIC = b"ZISO"
HEADER = struct.Struct("<4sIQIBBH")
VERSION = 1
SECTOR = 2048
MAX_BLOCK = 16 << 20
MAX_SHIFT = 16
PLAIN = 0x80000000
OFFSET_MASK = 0x7FFFFFFF
BATCH_BYTES = 1 << 20        # image bytes handed to a worker at a time
BATCH_READ = 4 << 20         # most ZSO bytes read for one batch when expanding
PAD_TRIES = 64               # past this much padding, the block's end is looked for
PROGRESS_EVERY = 0.25        # seconds between progress updates

EXIT_FAULT = 1
EXIT_USAGE = 2
EXIT_INTERRUPTED = 130

lz4_block = None             # imported once the command line is read, so -h needs no lz4


class Fault(Exception):
    """A failure the user gets as one line: the file concerned and what is wrong."""

    def __init__(self, path, what):
        Exception.__init__(self, "{}: {}".format(path, what))


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


def run_batches(workers, jobs, consume):
    """Runs jobs (callables, made lazily) on a thread pool, a bounded number at a time,
    and hands their results to consume in the order of the jobs."""
    in_flight = 2 * workers
    pending = deque()
    with ThreadPoolExecutor(max_workers=workers) as pool:
        try:
            for job in jobs:
                if len(pending) >= in_flight:
                    consume(pending.popleft().result())
                pending.append(pool.submit(job))
            while pending:
                consume(pending.popleft().result())
        finally:
            for future in pending:
                future.cancel()


def in_hole(f, at, length):
    """Whether the bytes from at on lie in a hole of a sparse file, known to be zeros
    without reading them. Where the system cannot tell, it is all data."""
    if not hasattr(os, "SEEK_DATA"):
        return False
    try:
        data = os.lseek(f.fileno(), at, os.SEEK_DATA)
    except OSError as e:
        return e.errno == errno.ENXIO  # no data from at to the end
    return data >= at + length


def worker_count():
    return max(1, min(os.cpu_count() or 1, 8))


# --- compressing -------------------------------------------------------------------


class Packer:
    """Turns a batch of image bytes into the stored bytes of its blocks and their index
    entries relative to the batch start (which is always aligned)."""

    def __init__(self, level, block, threshold, shift, pad, per_batch):
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
        self.zero_batch = bytes(per_batch)
        zero_stored, zero_flag = self.store(bytes(block))
        self.zero_unit = zero_stored + self.padding(len(zero_stored))
        step = len(self.zero_unit) >> shift
        self.zero_entries = [i * step | zero_flag for i in range(per_batch // block)]

    def padding(self, n):
        return self.pad * (-n & self.mask)

    def store(self, data):
        """The bytes a block is kept as, and its plain flag."""
        squeezed = self.squeeze(data)
        if len(squeezed) * 100 >= self.threshold * len(data):
            return data, PLAIN
        return squeezed, 0

    def zeros(self):
        """A full batch of zeros: one unit, repeated."""
        return self.zero_unit * len(self.zero_entries), self.zero_entries

    def __call__(self, buf, length):
        # Runs of zeros are common in images.
        if length == len(self.zero_batch) and buf == self.zero_batch:
            return self.zeros()
        view = memoryview(buf)[:length]
        squeeze, block, threshold = self.squeeze, self.block, self.threshold
        shift, mask, pad = self.shift, self.mask, self.pad
        pieces = []
        entries = []
        at = 0
        for start in range(0, length, block):
            data = view[start:start + block]
            stored = squeeze(data)
            if len(stored) * 100 >= threshold * len(data):
                stored = data
                entries.append(at >> shift | PLAIN)
            else:
                entries.append(at >> shift)
            pieces.append(stored)
            at += len(stored)
            if at & mask:
                pieces.append(pad * (-at & mask))
                at += -at & mask
        return b"".join(pieces), entries


def compress(src, dst, fin, fout, size, args, progress):
    block = args.block
    count = -(-size // block)
    shift = smallest_shift(src, size, block) if args.shift is None else args.shift
    per_batch = max(1, BATCH_BYTES // block) * block
    packer = Packer(args.level, block, args.threshold, shift, args.pad, per_batch)

    fout.write(HEADER.pack(MAGIC, HEADER.size, size, block, VERSION, shift, 0))
    # Room for the index, written once every block's place is known.
    index_bytes = 4 * (count + 1)
    zeros = bytes(min(index_bytes, 1 << 20))
    left = index_bytes
    while left:
        fout.write(zeros[:left])
        left -= min(left, len(zeros))
    at = HEADER.size + index_bytes
    gap = -at & packer.mask
    fout.write(packer.pad * gap)
    at += gap

    index = index_array()
    workers = worker_count()
    buffers = [bytearray(per_batch) for _ in range(2 * workers + 1)]
    state = {"at": at, "done": 0}

    def jobs():
        read = 0
        turn = 0
        while read < size:
            want = min(per_batch, size - read)
            if want == per_batch and in_hole(fin, read, want):
                read += want
                yield lambda want=want: (packer.zeros(), want)
                continue
            buf = buffers[turn % len(buffers)]
            turn += 1
            try:
                fin.seek(read)
                got = read_full(fin, memoryview(buf)[:want])
            except OSError as e:
                raise Fault(src, "cannot read: {}".format(e.strerror or e))
            if got < want:
                raise Fault(src, "became shorter while being read")
            read += got
            yield lambda buf=buf, got=got: (packer(buf, got), got)

    def consume(result):
        (data, entries), got = result
        base = state["at"] >> shift
        state["at"] += len(data)
        if state["at"] >> shift > OFFSET_MASK:
            raise Fault(dst, "the offsets do not fit in the index with shift {}; "
                        "leave -a out, or give a larger one".format(shift))
        index.extend([base + e for e in entries])
        fout.write(data)
        state["done"] += got
        progress.update(state["done"])

    run_batches(workers, jobs(), consume)
    index.append(state["at"] >> shift)
    if len(index) != count + 1:
        raise Fault(dst, "internal error: {} index entries for {} blocks".format(
            len(index), count))
    if sys.byteorder != "little":
        index.byteswap()
    fout.seek(HEADER.size)
    fout.write(memoryview(index).cast("B"))
    return state["at"]


# --- expanding -----------------------------------------------------------------------


def lz4_length(raw, pos, limit, run):
    """An LZ4 length: the token's nibble, and while it is 15, each further byte added
    until one below 255. Returns the length and the position after it."""
    if run == 15:
        while pos < limit:
            extra = raw[pos]
            pos += 1
            run += extra
            if extra != 255:
                break
    return run, pos


def lz4_end(raw, want):
    """Where the LZ4 block at the start of raw ends, found by walking its sequences
    until want bytes are produced; -1 when it does not add up. Needed for padded
    blocks, as the decoder refuses bytes after the block."""
    limit = len(raw)
    pos = 0
    out = 0
    while pos < limit:
        token = raw[pos]
        run, pos = lz4_length(raw, pos + 1, limit, token >> 4)
        pos += run
        out += run
        if pos > limit or out > want:
            return -1
        if out == want:
            return pos
        run, pos = lz4_length(raw, pos + 2, limit, token & 15)
        out += run + 4
    return -1


class Unpacker:
    """Turns the stored bytes of a batch of blocks back into image bytes, checking each
    block against its index entries."""

    def __init__(self, src, block, size, shift):
        self.src = src
        self.block = block
        self.size = size
        self.shift = shift
        self.mask = (1 << shift) - 1
        self.zero_block = bytes(block)

    def __call__(self, first, entries, raw, base):
        """The batch's image bytes; or, for a batch of only zeros, their number."""
        count = len(entries) - 1
        full = (first + count) * self.block <= self.size
        unit = len(raw) // count
        if count > 1 and full and unit and len(raw) == unit * count and not unit & self.mask:
            # A run of identical blocks (zeros, mostly) is decoded once.
            step = unit >> self.shift
            run = array("I", range(entries[0], entries[0] + count * step, step))
            if entries[:-1] == run and raw == raw[:unit] * count:
                plain = self.one(first, entries[0], raw[:unit])
                # Zeros are not even made: the caller leaves a hole of that length.
                return count * self.block if plain == self.zero_block else plain * count
        shift = self.shift
        at = [((entry & OFFSET_MASK) << shift) - base for entry in entries]
        for i in range(count):
            if at[i + 1] < at[i]:
                raise Fault(self.src, "index out of order at block {}".format(first + i))
        view = memoryview(raw)
        block, decompress = self.block, lz4_block.decompress
        out = []
        for i in range(count):
            entry, start, end = entries[i], at[i], at[i + 1]
            if full and not entry & PLAIN:
                try:
                    plain = decompress(view[start:end], uncompressed_size=block)
                    if len(plain) == block:
                        out.append(plain)
                        continue
                except lz4_block.LZ4BlockError:
                    pass
                out.append(self.unpad(first + i, view[start:end], block))
                continue
            out.append(self.one(first + i, entry, view[start:end]))
        return b"".join(out)

    def one(self, number, entry, stored):
        """One block's image bytes from its stored bytes (padding included)."""
        want = min(self.block, self.size - number * self.block)
        if entry & PLAIN:
            if not want <= len(stored) <= want + self.mask:
                raise Fault(self.src, "plain block {} is {} bytes, not {}".format(
                    number, len(stored), want))
            return stored[:want]
        return self.expand(number, stored, want)

    def expand(self, number, stored, want):
        try:
            plain = lz4_block.decompress(stored, uncompressed_size=want)
            # The decoder is content with fewer bytes than asked for.
            if len(plain) == want:
                return plain
        except lz4_block.LZ4BlockError:
            pass
        return self.unpad(number, stored, want)

    def unpad(self, number, stored, want):
        """Decodes a block that did not decode as stored: with a shift above 0 it may
        be followed by padding, which the decoder refuses. The padding is a run of
        one byte value at the end, so the block ends somewhere in that run."""
        if self.mask and len(stored) > 1:
            reach = min(self.mask, len(stored) - 1, PAD_TRIES)
            tail = bytes(stored[-reach - 1:])
            run = len(tail) - len(tail.rstrip(tail[-1:]))
            if run <= reach or reach < PAD_TRIES:
                ends = range(len(stored) - run, len(stored))
            else:
                ends = [lz4_end(stored, want)]
            for end in ends:
                if 0 < end and len(stored) - end <= self.mask:
                    try:
                        plain = lz4_block.decompress(stored[:end], uncompressed_size=want)
                        if len(plain) == want:
                            return plain
                    except lz4_block.LZ4BlockError:
                        pass
        raise Fault(self.src, "block {} does not decode to {} bytes".format(number, want))


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


def expand(src, dst, fin, fout, file_size, progress):
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
    unpacker = Unpacker(src, block, size, shift)
    longest = max(block, lz4_bound(block)) + unpacker.mask
    per_batch = max(1, min(BATCH_BYTES // block, BATCH_READ // longest))
    zero_batch = bytes(per_batch * block)
    workers = worker_count()
    state = {"done": 0, "hole": False}

    def offset(entry):
        return (entry & OFFSET_MASK) << shift

    def read_at(at, length):
        data = read_some(src, fin, at, length)
        if len(data) != length:
            raise Fault(src, "became shorter while being read")
        return data

    def jobs():
        for first in range(0, count, per_batch):
            n = min(per_batch, count - first)
            entries = index_array()
            entries.frombytes(read_at(HEADER.size + 4 * first, 4 * (n + 1)))
            if sys.byteorder != "little":
                entries.byteswap()
            start, end = offset(entries[0]), offset(entries[-1])
            if first == 0 and start < data_start:
                raise Fault(src, "block 0 starts inside the index")
            blocks = "block {}".format(first) if n == 1 else "blocks {}-{}".format(
                first, first + n - 1)
            if end < start:
                raise Fault(src, "index out of order at " + blocks)
            if end > file_size:
                raise Fault(src, "index points past the end of the file at " + blocks)
            if end - start > n * longest:
                raise Fault(src, "the stored size of {} is more than any data needs".format(
                    blocks))
            raw = read_at(start, end - start)
            yield lambda f=first, e=entries, r=raw, s=start: unpacker(f, e, r, s)

    def consume(data):
        # Zeros become a hole: a sparse image stays sparse, and is quick to write.
        if isinstance(data, int):
            length, hole = data, True
        else:
            length = len(data)
            hole = data == (zero_batch if length == len(zero_batch) else bytes(length))
        if hole:
            fout.seek(length, os.SEEK_CUR)
        else:
            fout.write(data)
        state["hole"] = hole
        state["done"] += length
        progress.update(state["done"])

    run_batches(workers, jobs(), consume)
    if state["done"] != size:
        raise Fault(src, "internal error: {} bytes out of {}".format(state["done"], size))
    if state["hole"]:
        fout.truncate(size)
    return size


# --- command line --------------------------------------------------------------------


class Parser(argparse.ArgumentParser):
    def error(self, message):
        self.exit(EXIT_USAGE, "{}: {} (ziso.py -h for help)\n".format(self.prog, message))


def ranged(name, low, high, base=10, multiple=1):
    def parse(text):
        try:
            value = int(text, base)
        except ValueError:
            raise argparse.ArgumentTypeError("{} must be a number, not {!r}".format(name, text))
        if not low <= value <= high or value % multiple:
            more = " and a multiple of {}".format(multiple) if multiple > 1 else ""
            raise argparse.ArgumentTypeError("{} must be {} to {}{}, not {}".format(
                name, low, high, more, value))
        return value
    return parse


def parse_args(argv):
    p = Parser(
        prog="ziso.py",
        formatter_class=argparse.RawDescriptionHelpFormatter,
        description="Compresses a disc image into a ZSO file (LZ4 blocks), or with -c 0 "
                    "turns a ZSO file back into the image.",
        epilog="OUTFILE is written under a temporary name beside it and renamed when "
               "complete, so a failure or Ctrl+C leaves no partial OUTFILE.\n"
               "Needs the lz4 package: pip install lz4")
    p.add_argument("-c", dest="level", metavar="LEVEL", default=1,
                   type=ranged("-c", 0, 12),
                   help="0 expands a ZSO file; 1 compresses with LZ4 (default); 2-12 with "
                        "LZ4 high compression at that level")
    p.add_argument("-b", dest="block", metavar="BLOCK", default=SECTOR,
                   type=ranged("-b", SECTOR, MAX_BLOCK, multiple=SECTOR),
                   help="block size in bytes, a multiple of 2048 (default 2048)")
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
    p.add_argument("-f", dest="force", action="store_true",
                   help="replace OUTFILE if it exists")
    p.add_argument("infile", metavar="INFILE")
    p.add_argument("outfile", metavar="OUTFILE")
    return p.parse_args(argv)


def check_paths(src, dst, force):
    """The input must be a readable regular file; the output must not be the input, nor
    a folder, nor an existing file unless forced."""
    if os.path.isdir(src):
        raise Fault(src, "is a folder, not a file")
    if not os.path.exists(src):
        raise Fault(src, "no such file")
    if os.path.isdir(dst):
        raise Fault(dst, "is a folder")
    if os.path.lexists(dst):
        try:
            same = os.path.samefile(src, dst)
        except OSError:
            same = False
        if same:
            raise Fault(dst, "is the input file")
        if not force:
            raise Fault(dst, "already exists (-f replaces it)")


def open_input(src):
    try:
        fin = open(src, "rb", buffering=0)
    except OSError as e:
        raise Fault(src, "cannot read: {}".format(e.strerror or e))
    info = os.fstat(fin.fileno())
    if not stat.S_ISREG(info.st_mode):
        fin.close()
        raise Fault(src, "not a regular file")
    return fin, info.st_size


def temp_beside(dst):
    folder = os.path.dirname(os.path.abspath(dst))
    try:
        fd, tmp = tempfile.mkstemp(prefix="~ziso-", suffix=".tmp", dir=folder)
    except OSError as e:
        raise Fault(dst, "cannot create a file in {}: {}".format(folder, e.strerror or e))
    # mkstemp makes the file private; the result gets the usual permissions.
    mask = os.umask(0)
    os.umask(mask)
    try:
        os.chmod(tmp, 0o666 & ~mask)
    except OSError:
        pass
    return fd, tmp


def write_output(src, dst, force, body):
    """Runs body(fout) on a temporary file beside dst, then renames it to dst. On any
    failure the temporary file goes and dst is left as it was."""
    fd, tmp = temp_beside(dst)
    try:
        try:
            with open(fd, "wb") as fout:
                result = body(fout)
        except OSError as e:
            raise Fault(dst, "cannot write: {}".format(e.strerror or e))
        if not force and os.path.lexists(dst):
            raise Fault(dst, "already exists (-f replaces it)")
        try:
            os.replace(tmp, dst)
        except OSError as e:
            raise Fault(dst, "cannot rename the finished file to it: {}".format(
                e.strerror or e))
        return result
    except BaseException:
        try:
            os.remove(tmp)
        except OSError:
            pass
        raise


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
        return EXIT_FAULT

    src, dst = args.infile, args.outfile
    try:
        check_paths(src, dst, args.force)
        fin, in_size = open_input(src)
        with fin:
            progress = Progress(in_size)
            try:
                if args.level == 0:
                    out_size = write_output(src, dst, args.force, lambda fout: expand(
                        src, dst, fin, fout, in_size, progress))
                else:
                    out_size = write_output(src, dst, args.force, lambda fout: compress(
                        src, dst, fin, fout, in_size, args, progress))
            finally:
                seconds = progress.finish()
    except Fault as e:
        sys.stderr.write("ziso.py: {}\n".format(e))
        return EXIT_FAULT
    except KeyboardInterrupt:
        sys.stderr.write("\nziso.py: interrupted; {} was not written\n".format(dst))
        return EXIT_INTERRUPTED
    except MemoryError:
        sys.stderr.write("ziso.py: {}: out of memory\n".format(src))
        return EXIT_FAULT

    image, packed = (out_size, in_size) if args.level == 0 else (in_size, out_size)
    ratio = 100.0 * packed / image if image else 100.0
    sys.stdout.write("{} ({}) -> {} ({}), {:.1f} %, {:.1f} s\n".format(
        src, megabytes(in_size), dst, megabytes(out_size), ratio, seconds))
    return 0


if __name__ == "__main__":
    sys.exit(main())
