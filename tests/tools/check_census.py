#!/usr/bin/env python3
"""Checks tessel-convert's report against count_source_clips.py on every shared AAF file.

For each file: the report's source_clips_in_timeline per composition equals the independent
count, the document holds one clip or generator item per source clip written, and per sequence and in total written + not carried equals it, with a reason on every
not-carried entry. The shared data is optional: without it the check is skipped (exit 77).

tessel-aafinfo --json gives the same count per composition.

Usage: check_census.py TESSEL_CONVERT TESSEL_AAFINFO SHARED_DIR SCRATCH_DIR
"""

import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from count_source_clips import AafObjects, CompoundFile

SKIP = 77
# Figures known from the files themselves: (source clips in the timeline, written).
KNOWN = {
    "aaf-samples/otio-aaf-adapter/multitrack.aaf": (21, 0),
    "aaf-samples/otio-aaf-adapter/simple.aaf": (15, 5),
}


def independent_counts(path):
    with open(path, "rb") as file:
        compositions = AafObjects(CompoundFile(file.read())).compositions()
    return sorted((c["name"], c["source_clips_in_timeline"]) for c in compositions)


def check_entry(entry, shared, aafinfo, failures):
    path = entry["input"]
    name = os.path.relpath(path, shared)
    if entry["status"] != "converted":
        failures.append(f"{name}: {entry.get('error')}")
        return
    ours = sorted((s["name"], s["source_clips_in_timeline"]) for s in entry["sequences"])
    theirs = independent_counts(path)
    if ours != theirs:
        failures.append(f"{name}: tessel counts {ours}, the independent reader {theirs}")
    info = json.loads(subprocess.run([aafinfo, path, "--json"], capture_output=True, text=True,
                                     check=False).stdout)
    shown = sorted((c.get("name", ""), c["source_clips_in_timeline"])
                   for c in info["compositions"])
    if shown != theirs:
        failures.append(f"{name}: tessel-aafinfo shows {shown}, the independent reader {theirs}")
    for sequence in entry["sequences"]:
        noted = 0
        for left in sequence["not_carried"]:
            noted += left["source_clips"]
            if not left["reason"] or left["source_clips"] <= 0:
                failures.append(f"{name}: not-carried entry without reason or clips: {left}")
        if sequence["source_clips_written"] + noted != sequence["source_clips_in_timeline"]:
            failures.append(f"{name}: sequence {sequence['name']!r} does not add up")
    totals = entry["totals"]
    # Written means an item of the document stands for the clip.
    document = ElementTree.parse(entry["output"]).getroot()
    items = sum(1 for e in document.iter() if e.tag in ("clipitem", "generatoritem"))
    if items != totals["source_clips_written"]:
        failures.append(f"{name}: {items} items in the document, "
                        f"{totals['source_clips_written']} source clips written")
    if (totals["source_clips_written"] + totals["source_clips_not_carried"]
            != totals["source_clips_in_timeline"]):
        failures.append(f"{name}: totals do not add up: {totals}")
    if name in KNOWN:
        expected = KNOWN[name]
        got = (totals["source_clips_in_timeline"], totals["source_clips_written"])
        if got != expected:
            failures.append(f"{name}: {got}, expected {expected}")


def main():
    convert, aafinfo, shared, scratch = sys.argv[1:5]
    folders = sorted({os.path.dirname(os.path.join(root, f))
                      for root, _, files in os.walk(shared)
                      for f in files if f.lower().endswith(".aaf")})
    if not folders:
        print(f"no shared AAF files under {shared}: skipped")
        return SKIP
    entries, statuses = [], []
    # One batch per folder: equal file names in two folders would want the same document.
    for number, folder in enumerate(folders):
        out = os.path.join(scratch, str(number))
        os.makedirs(out, exist_ok=True)
        report = os.path.join(out, "report.json")
        run = subprocess.run([convert, "-q", "--output-dir", out, "--report", report, folder],
                             capture_output=True, text=True, check=False)
        statuses.append(run.returncode)
        with open(report, encoding="utf-8") as file:
            entries += json.load(file)
    failures = []
    for entry in entries:
        check_entry(entry, shared, aafinfo, failures)
    for failure in failures:
        print(failure)
    print(f"{len(entries)} files checked, exit statuses {set(statuses)}, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
