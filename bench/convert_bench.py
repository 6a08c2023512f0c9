#!/usr/bin/env python3
"""Times tessel-convert on random EDIUS-shaped edits of several sizes and prints a table.

For each size the edit is written once with `tessel-mkaaf --random` (kept for later runs), then
converted once to warm the page cache and `--runs` times more, measured. The "read" time is one
pass over the input file's bytes in 1 MiB reads with the file in the page cache; the "write"
time writes as many bytes as the document has into a new file beside it in 1 MiB writes and
syncs it to the disk. Together they are the floor any converter has to beat.

Columns: wall time (median), processor time of the converter (user + system, median; steadier
than wall time on a busy machine), peak resident memory (largest of the runs), wall and processor
time per clip, the read and write times and the wall time as a multiple of their sum.

With --instructions, each edit is converted once under Valgrind's cachegrind instead, and the
table gives the instructions the converter executed: a count that does not vary from run to run,
so that work growing faster than the clips shows apart from a machine's noise and caches.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

READ_CHUNK = 1 << 20
# The sizes whose times (or instruction counts) are compared, when both were measured.
COMPARED_SIZES = ((10000, 100000), (100000, 1000000))


def run_measured(command):
    """Runs `command`; returns (wall seconds, CPU seconds, peak resident KiB). Fails on a non-zero
    exit."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if process.returncode != 0:
        sys.exit(f"{' '.join(command)} failed ({process.returncode}):\n{errors}")
    cpu = usage.ru_utime + usage.ru_stime
    return wall, cpu, usage.ru_maxrss  # ru_maxrss is in KiB on Linux


def read_once(path):
    """Seconds to read every byte of `path` once."""
    buffer = bytearray(READ_CHUNK)
    view = memoryview(buffer)
    start = time.perf_counter()
    with open(path, "rb", buffering=0) as file:
        while file.readinto(view):
            pass
    return time.perf_counter() - start


def write_once(size, folder):
    """Seconds to write `size` bytes to a new file in `folder` and sync it to the disk."""
    block = b"x" * READ_CHUNK
    path = os.path.join(folder, "floor.tmp")
    start = time.perf_counter()
    with open(path, "wb", buffering=0) as file:
        left = size
        while left > 0:
            left -= file.write(block[:min(left, READ_CHUNK)])
        os.fsync(file.fileno())
    elapsed = time.perf_counter() - start
    os.remove(path)
    return elapsed


def count_instructions(command):
    """Instructions `command` executes (all threads), counted by cachegrind. Fails on a non-zero
    exit."""
    valgrind = ["valgrind", "--tool=cachegrind", "--cache-sim=no",
                "--cachegrind-out-file=/dev/null"]
    result = subprocess.run(valgrind + command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            text=True, errors="replace")
    found = re.search(r"I\s+refs:\s+([\d,]+)", result.stderr)
    if result.returncode != 0 or not found:
        sys.exit(f"{' '.join(command)} under cachegrind failed ({result.returncode}):\n"
                 f"{result.stderr}")
    return int(found.group(1).replace(",", ""))


def print_instructions(counts):
    """The table of --instructions: `counts` maps clips to instructions."""
    print(f"{'clips':>8} {'instructions':>15} {'per clip':>9}")
    for clips, count in counts.items():
        print(f"{clips:>8} {count:>15,} {count / clips:>9.0f}")
    for small, large in COMPARED_SIZES:
        if small in counts and large in counts:
            print(f"{large:,} clips take {counts[large] / counts[small]:.2f} times the "
                  f"instructions of {small:,}")


def make_edit(mkaaf, seed, clips, folder):
    """The path of the edit for (seed, clips), written on first use with its title documents."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"edit-{seed}-{clips}.aaf")
    if not os.path.exists(path) or os.path.getmtime(path) < os.path.getmtime(mkaaf):
        print(f"writing {path} ...", file=sys.stderr, flush=True)
        subprocess.run([mkaaf, "--random", str(seed), "--clips", str(clips), "--out", path,
                        "--titles"], check=True, stdout=subprocess.DEVNULL)
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release", help="build folder (Release)")
    parser.add_argument("--work", default="build/bench", help="folder for the edits and outputs")
    parser.add_argument("--sizes", default="1000,10000,100000,1000000",
                        help="clip counts, comma-separated")
    parser.add_argument("--runs", type=int, default=5, help="measured conversions per size")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--convert", help="the converter to time (default: the build's)")
    parser.add_argument("--instructions", action="store_true",
                        help="count instructions under cachegrind instead of timing")
    args = parser.parse_args()
    if args.instructions and shutil.which("valgrind") is None:
        sys.exit("--instructions needs valgrind (apt-get install valgrind)")

    mkaaf = os.path.join(args.build, "tools", "mkaaf", "tessel-mkaaf")
    convert = args.convert or os.path.join(args.build, "src", "cli", "tessel-convert")
    for program in (mkaaf, convert):
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} is missing: build the Release configuration first")

    sizes = [int(size) for size in args.sizes.split(",")]
    rows = []
    load_before = os.getloadavg()
    for clips in sizes:
        folder = os.path.join(args.work, str(clips))
        edit = make_edit(mkaaf, args.seed, clips, folder)
        output = os.path.join(folder, "out.xml")
        command = [convert, "--quiet", edit, output]
        if args.instructions:
            rows.append({"clips": clips, "instructions": count_instructions(command)})
            continue
        run_measured(command)  # warms the cache; not counted
        walls, cpus, peaks, reads, writes = [], [], [], [], []
        for _ in range(args.runs):
            wall, cpu, peak = run_measured(command)
            walls.append(wall)
            cpus.append(cpu)
            peaks.append(peak)
            reads.append(read_once(edit))
            writes.append(write_once(os.path.getsize(output), folder))
        rows.append({
            "clips": clips,
            "bytes": os.path.getsize(edit),
            "wall": statistics.median(walls),
            "cpu": statistics.median(cpus),
            "peak": max(peaks),
            "read": statistics.median(reads),
            "write": statistics.median(writes),
            "output": os.path.getsize(output),
        })
    load_after = os.getloadavg()
    if args.instructions:
        print_instructions({row["clips"]: row["instructions"] for row in rows})
        return

    print(f"{os.cpu_count()} cores, load average {load_before[0]:.1f} before, "
          f"{load_after[0]:.1f} after; median of {args.runs} runs")
    print(f"{'clips':>8} {'file MiB':>9} {'xml MiB':>8} {'median s':>9} {'cpu s':>7} "
          f"{'peak MiB':>9} {'us/clip':>8} {'cpu us/clip':>11} {'read ms':>8} {'write ms':>9} "
          f"{'x floor':>8}")
    for row in rows:
        floor = row["read"] + row["write"]
        print(f"{row['clips']:>8} {row['bytes'] / 2**20:>9.1f} {row['output'] / 2**20:>8.1f} "
              f"{row['wall']:>9.3f} {row['cpu']:>7.3f} {row['peak'] / 1024:>9.1f} "
              f"{row['wall'] / row['clips'] * 1e6:>8.2f} {row['cpu'] / row['clips'] * 1e6:>11.2f} "
              f"{row['read'] * 1e3:>8.2f} {row['write'] * 1e3:>9.2f} {row['wall'] / floor:>8.1f}")
    by_clips = {row["clips"]: row for row in rows}
    for small, large in COMPARED_SIZES:
        if small in by_clips and large in by_clips:
            wall = by_clips[large]["wall"] / by_clips[small]["wall"]
            cpu = by_clips[large]["cpu"] / by_clips[small]["cpu"]
            print(f"{large:,} clips take {wall:.1f} times as long as {small:,} "
                  f"({cpu:.1f} times the processor time)")


if __name__ == "__main__":
    main()
