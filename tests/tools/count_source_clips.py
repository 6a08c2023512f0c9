#!/usr/bin/env python3
"""Counts the source clips of every composition in an AAF file, with no help from Tessel.

Reads the compound file and the AAF objects' property streams directly and prints, as JSON, one
entry per composition mob in the order of the header's mob set:
    [{"name": "...", "source_clips_in_timeline": N}, ...]
A composition's count covers the segment of each picture or sound slot and everything strongly
referenced from it, except a Selector's alternates; a source clip's reference into another mob is
a reference by id and is not followed.

Usage: count_source_clips.py FILE.aaf
"""

import json
import struct
import sys

FREE, END_OF_CHAIN = 0xFFFFFFFF, 0xFFFFFFFE
STORAGE, STREAM, ROOT = 1, 2, 5

# Class and data definition identifiers, as the AUID text of the AAF object model.
SOURCE_CLIP = "0d010101-0101-1100-060e-2b3402060101"
SELECTOR = "0d010101-0101-0e00-060e-2b3402060101"
COMPOSITION_MOB = "0d010101-0101-3500-060e-2b3402060101"
PICTURE = {"01030202-0100-0000-060e-2b3404010101", "6f3c8ce1-6cef-11d2-807d-006008143e6f"}
SOUND = {"01030202-0200-0000-060e-2b3404010101", "78e1ebe1-6cef-11d2-807d-006008143e6f"}

# Property ids.
ROOT_META_DICTIONARY, ROOT_HEADER = 0x0001, 0x0002
CLASS_DEFINITIONS, META_IDENTIFICATION, PARENT_CLASS = 0x0003, 0x0005, 0x0008
HEADER_CONTENT, CONTENT_MOBS = 0x3B03, 0x1901
MOB_NAME, MOB_SLOTS, SLOT_SEGMENT = 0x4402, 0x4403, 0x4803
COMPONENT_DATA_DEFINITION = 0x0201
SELECTOR_ALTERNATES = 0x0F02

STRONG, STRONG_VECTOR, STRONG_SET, WEAK = 0x22, 0x32, 0x3A, 0x02


def auid_text(raw, little=True):
    data1, data2, data3 = struct.unpack("<IHH" if little else ">IHH", raw[:8])
    tail = raw[8:16].hex()
    return f"{data1:08x}-{data2:04x}-{data3:04x}-{tail[:4]}-{tail[4:]}"


class CompoundFile:
    def __init__(self, data):
        if data[:8] != bytes.fromhex("d0cf11e0a1b11ae1"):
            raise ValueError("not a compound file")
        self.data = data
        self.sector_size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini_size = 1 << struct.unpack_from("<H", data, 0x20)[0]
        (fat_count, first_dir, _, self.cutoff, first_mini, _, first_difat,
         difat_count) = struct.unpack_from("<IIIIIIII", data, 0x2C)
        difat = list(struct.unpack_from("<109I", data, 0x4C))
        sector = first_difat
        per = self.sector_size // 4
        for _ in range(difat_count):
            if sector >= END_OF_CHAIN:
                break
            entries = struct.unpack_from(f"<{per}I", data, self.offset(sector))
            difat.extend(entries[:-1])
            sector = entries[-1]
        self.fat = []
        for sector in difat[:fat_count]:
            self.fat.extend(struct.unpack_from(f"<{per}I", data, self.offset(sector)))
        directory = self.chain(first_dir, self.fat, self.sector)
        self.entries = []
        for start in range(0, len(directory) - 127, 128):
            raw = directory[start:start + 128]
            name_bytes = struct.unpack_from("<H", raw, 64)[0]
            self.entries.append({
                "name": raw[:max(name_bytes - 2, 0)].decode("utf-16-le", "replace"),
                "type": raw[66],
                "left": struct.unpack_from("<I", raw, 68)[0],
                "right": struct.unpack_from("<I", raw, 72)[0],
                "child": struct.unpack_from("<I", raw, 76)[0],
                "clsid": raw[80:96],
                "start": struct.unpack_from("<I", raw, 116)[0],
                "size": struct.unpack_from("<Q", raw, 120)[0],
            })
        if self.sector_size == 512:
            for entry in self.entries:
                entry["size"] &= 0xFFFFFFFF
        root = self.entries[0]
        mini_fat_bytes = self.chain(first_mini, self.fat, self.sector)
        self.mini_fat = list(struct.unpack_from(f"<{len(mini_fat_bytes) // 4}I", mini_fat_bytes))
        self.mini_stream = self.chain(root["start"], self.fat, self.sector)
        self.children_cache = {}

    def offset(self, sector):
        return (sector + 1) * self.sector_size

    def sector(self, number):
        start = self.offset(number)
        return self.data[start:start + self.sector_size]

    def mini_sector(self, number):
        start = number * self.mini_size
        return self.mini_stream[start:start + self.mini_size]

    @staticmethod
    def chain(first, table, read):
        parts, seen, sector = [], set(), first
        while sector < len(table) and sector not in seen:
            seen.add(sector)
            parts.append(read(sector))
            sector = table[sector]
        return b"".join(parts)

    def stream(self, entry_id):
        entry = self.entries[entry_id]
        if entry["size"] < self.cutoff:
            raw = self.chain(entry["start"], self.mini_fat, self.mini_sector)
        else:
            raw = self.chain(entry["start"], self.fat, self.sector)
        return raw[:entry["size"]]

    def children(self, entry_id):
        if entry_id in self.children_cache:
            return self.children_cache[entry_id]
        found, pending, seen = {}, [self.entries[entry_id]["child"]], set()
        while pending:
            node = pending.pop()
            if node >= len(self.entries) or node in seen:
                continue
            seen.add(node)
            entry = self.entries[node]
            found[entry["name"]] = node
            pending += [entry["left"], entry["right"]]
        self.children_cache[entry_id] = found
        return found


class AafObjects:
    def __init__(self, cfb):
        self.cfb = cfb
        self.parents = {}
        meta = self.strong(0, ROOT_META_DICTIONARY)
        for definition in self.elements(meta, CLASS_DEFINITIONS) if meta is not None else []:
            props = self.properties(definition)
            if META_IDENTIFICATION in props and PARENT_CLASS in props:
                ident = auid_text(props[META_IDENTIFICATION][1], self.little(definition))
                parent = props[PARENT_CLASS][1]
                self.parents[ident] = auid_text(parent[-16:], self.little(definition))

    def properties(self, entry_id):
        stream = self.cfb.children(entry_id).get("properties")
        if stream is None:
            return {}
        raw = self.cfb.stream(stream)
        little = raw[0] == 0x4C
        fmt = "<" if little else ">"
        count = struct.unpack_from(fmt + "H", raw, 2)[0]
        offset = 4 + 6 * count
        result = {}
        for i in range(count):
            pid, form, length = struct.unpack_from(fmt + "HHH", raw, 4 + 6 * i)
            result[pid] = (form, raw[offset:offset + length])
            offset += length
        return result

    def little(self, entry_id):
        stream = self.cfb.children(entry_id).get("properties")
        return stream is None or self.cfb.stream(stream)[:1] != b"B"

    @staticmethod
    def name_of(value):
        return value.decode("utf-16-le", "replace").rstrip("\x00")

    def strong(self, entry_id, pid):
        props = self.properties(entry_id)
        if pid not in props or props[pid][0] != STRONG:
            return None
        return self.cfb.children(entry_id).get(self.name_of(props[pid][1]))

    def elements(self, entry_id, pid):
        props = self.properties(entry_id)
        if pid not in props or props[pid][0] not in (STRONG_VECTOR, STRONG_SET):
            return []
        form, value = props[pid]
        name = self.name_of(value)
        children = self.cfb.children(entry_id)
        index_id = children.get(name + " index")
        if index_id is None:
            return []
        index = self.cfb.stream(index_id)
        fmt = "<" if self.little(entry_id) else ">"
        count = struct.unpack_from(fmt + "I", index, 0)[0]
        if form == STRONG_VECTOR:
            keys = struct.unpack_from(f"{fmt}{count}I", index, 12)
        else:
            key_size = index[14]
            keys = [struct.unpack_from(fmt + "I", index, 15 + i * (8 + key_size))[0]
                    for i in range(count)]
        result = []
        for key in keys:
            element = children.get(f"{name}{{{key:x}}}")
            if element is not None:
                result.append(element)
        return result

    def class_is(self, entry_id, wanted):
        auid, seen = auid_text(self.cfb.entries[entry_id]["clsid"]), set()
        while auid not in seen:
            if auid == wanted:
                return True
            seen.add(auid)
            auid = self.parents.get(auid, auid)
        return False

    def count_source_clips(self, entry_id):
        count, pending, seen = 0, [entry_id], set()
        while pending:
            node = pending.pop()
            if node in seen:
                continue
            seen.add(node)
            if self.class_is(node, SOURCE_CLIP):
                count += 1
            selector = self.class_is(node, SELECTOR)
            for pid, (form, _) in self.properties(node).items():
                if selector and pid == SELECTOR_ALTERNATES:
                    continue
                if form == STRONG:
                    child = self.strong(node, pid)
                    if child is not None:
                        pending.append(child)
                elif form in (STRONG_VECTOR, STRONG_SET):
                    pending += self.elements(node, pid)
        return count

    def compositions(self):
        header = self.strong(0, ROOT_HEADER)
        content = self.strong(header, HEADER_CONTENT) if header is not None else None
        result = []
        for mob in self.elements(content, CONTENT_MOBS) if content is not None else []:
            if not self.class_is(mob, COMPOSITION_MOB):
                continue
            props = self.properties(mob)
            name = self.name_of(props[MOB_NAME][1]) if MOB_NAME in props else ""
            total = 0
            for slot in self.elements(mob, MOB_SLOTS):
                segment = self.strong(slot, SLOT_SEGMENT)
                if segment is None:
                    continue
                segment_props = self.properties(segment)
                if COMPONENT_DATA_DEFINITION not in segment_props:
                    continue
                key = auid_text(segment_props[COMPONENT_DATA_DEFINITION][1][-16:],
                                self.little(segment))
                if key in PICTURE or key in SOUND:
                    total += self.count_source_clips(segment)
            result.append({"name": name, "source_clips_in_timeline": total})
        return result


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as file:
        data = file.read()
    print(json.dumps(AafObjects(CompoundFile(data)).compositions(), ensure_ascii=False))


if __name__ == "__main__":
    main()
