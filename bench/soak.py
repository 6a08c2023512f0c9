#!/usr/bin/env python3
"""Soak test: converts many random EDIUS-shaped edits and checks every result.

For each seed, tessel-mkaaf writes a random edit (with its title documents and its description),
tessel-convert converts it, and the output must be a well-formed "xmeml" document with one
"sequence" per composition and, in each, one clip item ("clipitem" or, for a title,
"generatoritem") per source clip on a picture or sound track. The expected counts come from the
edit's description, as the fixture writer made it; tessel-aafinfo's listing of the written file
must agree with them too. Failing edits are kept for a closer look.

    bench/soak.py N [--first-seed S] [--max-clips M] [--build DIR] [--keep DIR] [--jobs J]
"""

import argparse
import concurrent.futures
import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

MEDIA_KINDS = {"picture", "sound", "legacy_picture", "legacy_sound"}


def expected_from_description(description):
    """Clip items per composition, as the description places source clips on media tracks."""
    counts = []
    for composition in description.get("compositions", []):
        count = 0
        for slot in composition.get("slots", []):
            if slot.get("kind") not in MEDIA_KINDS:
                continue
            for component in slot.get("components", []):
                kind = component.get("type")
                if kind in ("clip", "speed"):
                    count += 1
                elif kind == "operation_group":
                    count += sum(1 for i in component.get("inputs", []) if i.get("type") == "clip")
        counts.append(count)
    return counts


def expected_from_listing(listing):
    """The same counts from tessel-aafinfo --json: what the reader sees in the written file."""
    counts = []
    for composition in listing.get("compositions", []):
        count = 0
        for slot in composition.get("slots", []):
            if slot.get("kind") not in ("picture", "sound"):
                continue
            for component in slot.get("components", []):
                if component.get("class") == "SourceClip":
                    count += 1
                elif component.get("class") == "OperationGroup":
                    count += sum(1 for i in component.get("inputs", [])
                                 if i.get("class") == "SourceClip")
        counts.append(count)
    return counts


def found_in_document(path):
    """Clip items per sequence of a converted document; raises on a malformed one."""
    root = ElementTree.parse(path).getroot()
    if root.tag != "xmeml" or root.get("version") != "4":
        raise ValueError(f"root is <{root.tag} version={root.get('version')!r}>, not xmeml 4")
    counts = []
    for sequence in root.findall("sequence"):
        items = 0
        for track in sequence.findall("media/video/track") + sequence.findall("media/audio/track"):
            items += len(track.findall("clipitem")) + len(track.findall("generatoritem"))
        counts.append(items)
    return counts


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, errors="replace", **kwargs)


def soak_one(seed, clips, sector, tools, work):
    """Makes, converts and checks one edit; returns (seed, clips placed, failure or None)."""
    folder = os.path.join(work, f"seed_{seed}")
    os.makedirs(folder, exist_ok=True)
    aaf = os.path.join(folder, "edit.aaf")
    description_path = os.path.join(folder, "edit.json")
    xml = os.path.join(folder, "edit.xml")
    made = run([tools["mkaaf"], "--random", str(seed), "--clips", str(clips), "--sector-size",
                str(sector), "--titles", "--json-out", description_path, "--out", aaf])
    if made.returncode != 0:
        return seed, 0, f"tessel-mkaaf failed: {made.stderr.strip()}"
    with open(description_path, encoding="utf-8") as f:
        expected = expected_from_description(json.load(f))
    placed = sum(expected)

    listing = run([tools["aafinfo"], "--json", aaf])
    if listing.returncode != 0:
        return seed, placed, f"tessel-aafinfo failed: {listing.stderr.strip()}"
    seen = expected_from_listing(json.loads(listing.stdout))
    if seen != expected:
        return seed, placed, f"the reader lists {seen} clips per composition, the edit has {expected}"

    converted = run([tools["convert"], "-q", aaf, xml])
    if converted.returncode != 0:
        return seed, placed, f"tessel-convert exited {converted.returncode}: {converted.stderr.strip()}"
    try:
        found = found_in_document(xml)
    except (ElementTree.ParseError, ValueError, OSError) as error:
        return seed, placed, f"the output is not a well-formed document: {error}"
    if len(found) != len(expected):
        return seed, placed, f"{len(found)} sequences written, {len(expected)} compositions"
    if found != expected:
        return seed, placed, f"clip items per sequence {found}, expected {expected}"
    shutil.rmtree(folder)
    return seed, placed, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("count", type=int, help="number of random edits")
    parser.add_argument("--first-seed", type=int, default=1)
    parser.add_argument("--max-clips", type=int, default=400,
                        help="edits have from 1 to this many clips (default 400)")
    parser.add_argument("--build", default="build/release", help="build folder with the tools")
    parser.add_argument("--keep", default="build/soak-failures",
                        help="where failing edits are kept (default build/soak-failures)")
    parser.add_argument("--jobs", type=int, default=1)
    args = parser.parse_args()

    tools = {
        "mkaaf": os.path.join(args.build, "tools/mkaaf/tessel-mkaaf"),
        "aafinfo": os.path.join(args.build, "tools/aafinfo/tessel-aafinfo"),
        "convert": os.path.join(args.build, "src/cli/tessel-convert"),
    }
    for name, path in tools.items():
        if not os.access(path, os.X_OK):
            sys.exit(f"soak: {path} is missing; build first (cmake --build --preset release)")

    failures = []
    total_clips = 0
    with tempfile.TemporaryDirectory(prefix="tessel-soak-") as work:
        jobs = []
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
            for seed in range(args.first_seed, args.first_seed + args.count):
                # Sizes from a single clip up, and every fifth edit with 4096-byte sectors.
                clips = 1 + (seed * 7919) % args.max_clips
                sector = 4096 if seed % 5 == 0 else 512
                jobs.append(pool.submit(soak_one, seed, clips, sector, tools, work))
            for done, job in enumerate(concurrent.futures.as_completed(jobs), 1):
                seed, placed, failure = job.result()
                total_clips += placed
                if done % 25 == 0:
                    print(f"soak: {done} of {args.count} edits done", flush=True)
                if failure:
                    failures.append((seed, failure))
                    kept = os.path.join(args.keep, f"seed_{seed}")
                    shutil.rmtree(kept, ignore_errors=True)
                    shutil.copytree(os.path.join(work, f"seed_{seed}"), kept)
                    print(f"seed {seed}: FAILED: {failure}", flush=True)

    print(f"soak: {args.count} edits, {total_clips} clips, {len(failures)} failures")
    if failures:
        print(f"failing edits kept in {args.keep}/")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
