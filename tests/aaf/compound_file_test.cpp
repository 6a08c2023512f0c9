// The container reader on hand-made layouts: tree shapes real writers leave, and damage of
// every kind it checks.

#include "aaf/compound_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "aaf/compound_file_writer.h"
#include "test_aaf.h"

namespace tessel::aaf {
namespace {

constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;

struct RawEntry {
    std::u16string name;
    std::uint8_t type = 2;
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = kEndOfChain;
    std::uint64_t size = 0;
};

/// A version-3 compound file laid out as header | FAT | directory | extra sectors, with the
/// directory entries exactly as given (links included) and FAT entries patched as asked.
struct RawFile {
    std::vector<RawEntry> entries;
    std::vector<std::string> extraSectors;       // 512 bytes each, after the directory
    std::map<std::uint32_t, std::uint32_t> fat;  // patches, by sector number

    std::uint32_t directorySectors() const {
        return static_cast<std::uint32_t>((entries.size() + 3) / 4);
    }
    std::uint32_t fatSectors() const {
        const std::uint32_t other =
            directorySectors() + static_cast<std::uint32_t>(extraSectors.size());
        std::uint32_t count = 1;
        while (count * 128 < count + other) {
            ++count;
        }
        return count;
    }
    /// Sector number of extra sector `i`.
    std::uint32_t extra(std::size_t i) const {
        return fatSectors() + directorySectors() + static_cast<std::uint32_t>(i);
    }

    std::string Bytes() const {
        const std::uint32_t fatCount = fatSectors();
        const std::uint32_t dirCount = directorySectors();
        const std::uint32_t total =
            fatCount + dirCount + static_cast<std::uint32_t>(extraSectors.size());
        std::string file(512 * (1 + total), '\0');
        auto put32 = [&](std::size_t at, std::uint32_t value) {
            for (int i = 0; i < 4; ++i) {
                file[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
            }
        };
        auto put16 = [&](std::size_t at, std::uint16_t value) {
            file[at] = static_cast<char>(value);
            file[at + 1] = static_cast<char>(value >> 8);
        };
        const unsigned char signature[8] = {0xd0, 0xcf, 0x11, 0xe0, 0xa1, 0xb1, 0x1a, 0xe1};
        std::memcpy(file.data(), signature, 8);
        put16(0x18, 0x3E);
        put16(0x1A, 3);
        put16(0x1C, 0xFFFE);
        put16(0x1E, 9);
        put16(0x20, 6);
        put32(0x2C, fatCount);
        put32(0x30, fatCount);
        put32(0x38, 4096);
        put32(0x3C, kEndOfChain);
        put32(0x44, kEndOfChain);
        for (std::uint32_t i = 0; i < 109; ++i) {
            put32(0x4C + 4 * i, i < fatCount ? i : kNoStream);
        }
        std::vector<std::uint32_t> table(fatCount * 128, 0xFFFFFFFF);
        for (std::uint32_t i = 0; i < fatCount; ++i) {
            table[i] = kFatSector;
        }
        for (std::uint32_t i = 0; i < dirCount; ++i) {
            table[fatCount + i] = i + 1 < dirCount ? fatCount + i + 1 : kEndOfChain;
        }
        for (std::size_t i = 0; i < extraSectors.size(); ++i) {
            table[extra(i)] = kEndOfChain;
        }
        for (const auto& [sector, value] : fat) {
            table[sector] = value;
        }
        for (std::size_t i = 0; i < table.size(); ++i) {
            put32(512 + 4 * i, table[i]);
        }
        for (std::size_t id = 0; id < entries.size(); ++id) {
            const RawEntry& entry = entries[id];
            const std::size_t at = 512 * (1 + fatCount) + 128 * id;
            for (std::size_t c = 0; c < entry.name.size(); ++c) {
                put16(at + 2 * c, static_cast<std::uint16_t>(entry.name[c]));
            }
            put16(at + 0x40, static_cast<std::uint16_t>(2 * (entry.name.size() + 1)));
            file[at + 0x42] = static_cast<char>(entry.type);
            file[at + 0x43] = 1;
            put32(at + 0x44, entry.left);
            put32(at + 0x48, entry.right);
            put32(at + 0x4C, entry.child);
            put32(at + 0x74, entry.start);
            put32(at + 0x78, static_cast<std::uint32_t>(entry.size));
            put32(at + 0x7C, static_cast<std::uint32_t>(entry.size >> 32));
        }
        for (std::size_t i = 0; i < extraSectors.size(); ++i) {
            file.replace(512 * (1 + extra(i)), 512, extraSectors[i]);
        }
        return file;
    }
};

RawEntry Root(std::uint32_t child) {
    RawEntry root;
    root.name = u"Root Entry";
    root.type = 5;
    root.child = child;
    return root;
}

Status OpenBytes(const std::string& bytes, std::unique_ptr<CompoundFile>& file) {
    return CompoundFile::Open(FileData::FromBytes(bytes), file);
}

std::u16string Numbered(std::size_t i) {
    // Appending (not "literal" + string) sidesteps a false -Wrestrict of GCC 12.
    std::string text = "child";
    text += std::to_string(i);
    return {text.begin(), text.end()};
}

std::string Name(std::size_t i) {
    std::string text = "e";
    text += std::to_string(i);
    return text;
}

TEST(CompoundFile, EmptyInputIsNotACompoundFile) {
    std::unique_ptr<CompoundFile> file;
    EXPECT_EQ(OpenBytes("", file).code(), AAFRESULT_NOT_COMPOUND_FILE);
    EXPECT_EQ(OpenBytes("just some text\n", file).code(), AAFRESULT_NOT_COMPOUND_FILE);
}

TEST(CompoundFile, ARightLinkedChainOf755ChildrenIsListedAndSearchable) {
    RawFile raw;
    raw.entries.push_back(Root(1));
    raw.entries.push_back(RawEntry{u"storage", 1, kNoStream, kNoStream, 2});
    for (std::size_t i = 0; i < 755; ++i) {
        RawEntry child{Numbered(i)};
        child.right = i + 1 < 755 ? static_cast<std::uint32_t>(3 + i) : kNoStream;
        raw.entries.push_back(child);
    }
    std::unique_ptr<CompoundFile> file;
    ASSERT_TRUE(OpenBytes(raw.Bytes(), file).ok());
    ASSERT_EQ(file->Children(1).size(), 755u);
    EXPECT_EQ(file->Children(1).front(), 2u);  // in-order: the chain's own order
    for (std::size_t i = 0; i < 755; i += 50) {
        EXPECT_EQ(file->FindChild(1, Numbered(i)), 2 + i);
    }
    EXPECT_EQ(file->FindChild(1, std::u16string(u"child755")), CompoundFile::kNoEntry);
    EXPECT_EQ(file->FindChild(1, std::string_view("storage")), CompoundFile::kNoEntry);
    EXPECT_EQ(file->FindChild(0, std::string_view("storage")), 1u);
}

// Names are kept a byte a unit where every unit is ASCII; the others must keep every unit, and a
// name must never match one whose units only agree in their low bytes.
TEST(CompoundFile, NamesOutsideAsciiKeepEveryUnit) {
    const std::vector<std::u16string> odd = {u"\u00e9t\u00e9", u"\u0161b", u"\u0100",
                                             u"a\U0001F600", u"\u00ff"};
    for (const std::size_t plain : {std::size_t{2}, std::size_t{40}}) {  // linear, binary search
        RawFile raw;
        raw.entries.push_back(Root(1));
        std::vector<std::u16string> names = odd;
        for (std::size_t i = 0; i < plain; ++i) {
            names.push_back(Numbered(i));
        }
        names.push_back(u"ab");
        names.push_back(u"a");
        for (std::size_t i = 0; i < names.size(); ++i) {
            RawEntry child{names[i]};
            child.right = i + 1 < names.size() ? static_cast<std::uint32_t>(2 + i) : kNoStream;
            raw.entries.push_back(child);
        }
        std::unique_ptr<CompoundFile> file;
        ASSERT_TRUE(OpenBytes(raw.Bytes(), file).ok());
        ASSERT_EQ(file->Children(0).size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            const CompoundFile::EntryId id = 1 + static_cast<CompoundFile::EntryId>(i);
            EXPECT_EQ(std::u16string(file->Name16(id)), names[i]) << i;
            EXPECT_EQ(file->FindChild(0, names[i]), id) << i;
        }
        EXPECT_EQ(file->Name(1), "?t?");
        EXPECT_EQ(file->FindChild(0, std::u16string(u"\u00e9T\u00e9")), CompoundFile::kNoEntry);
        EXPECT_EQ(file->FindChild(0, std::u16string(u"\u00e9")), CompoundFile::kNoEntry);
        EXPECT_EQ(file->FindChild(0, std::u16string(u"\u0061b")), 1 + odd.size() + plain);
        EXPECT_EQ(file->FindChild(0, std::u16string(u"\u0161B")), CompoundFile::kNoEntry);
        EXPECT_EQ(file->FindChild(0, std::u16string(u"\u0000")), CompoundFile::kNoEntry);
    }
}

TEST(CompoundFile, ADeepLeftChainNeedsNoRecursion) {
    RawFile raw;
    const std::size_t count = 20000;
    raw.entries.push_back(Root(static_cast<std::uint32_t>(count)));
    for (std::size_t i = 0; i < count; ++i) {
        RawEntry child{Numbered(i)};
        child.left = i > 0 ? static_cast<std::uint32_t>(i) : kNoStream;
        raw.entries.push_back(child);
    }
    std::unique_ptr<CompoundFile> file;
    ASSERT_TRUE(OpenBytes(raw.Bytes(), file).ok());
    EXPECT_EQ(file->Children(0).size(), count);
    EXPECT_EQ(file->FindChild(0, Numbered(12345)), 12346u);
}

TEST(CompoundFile, UnusedEntriesBetweenUsedOnesAreSkipped) {
    RawFile raw;
    raw.entries.push_back(Root(2));
    raw.entries.push_back(RawEntry{u"", 0, 0, 0, 0, 0, 0});  // all zero, links included
    raw.entries.push_back(RawEntry{u"b", 2, 3});
    raw.entries.push_back(RawEntry{u"a"});
    std::unique_ptr<CompoundFile> file;
    ASSERT_TRUE(OpenBytes(raw.Bytes(), file).ok());
    EXPECT_EQ(file->Children(0).size(), 2u);
    EXPECT_EQ(file->Name(file->Children(0)[0]), "a");
}

TEST(CompoundFile, DamagedTreesAreRefused) {
    struct Case {
        const char* what;
        std::vector<RawEntry> entries;
    };
    const std::vector<Case> cases = {
        {"sibling cycle", {Root(1), RawEntry{u"a", 2, kNoStream, 2}, RawEntry{u"b", 2, 1}}},
        {"link past the directory", {Root(1), RawEntry{u"a", 2, kNoStream, 77}}},
        {"entry shared by two storages",
         {Root(1), RawEntry{u"s", 1, kNoStream, 2, 3}, RawEntry{u"t", 1, kNoStream, kNoStream, 3},
          RawEntry{u"x"}}},
        {"tree reaching an unused entry",
         {Root(1), RawEntry{u"a", 2, kNoStream, 2}, RawEntry{u"", 0}}},
        {"second root in a tree", {Root(1), RawEntry{u"a", 5}}},
        {"child of itself", {Root(1), RawEntry{u"s", 1, kNoStream, kNoStream, 1}}},
        {"unknown type", {Root(1), RawEntry{u"a", 3}}},
        {"first entry not the root", {RawEntry{u"a", 1}}},
    };
    for (const Case& test : cases) {
        RawFile raw;
        raw.entries = test.entries;
        std::unique_ptr<CompoundFile> file;
        const Status status = OpenBytes(raw.Bytes(), file);
        EXPECT_EQ(status.code(), AAFRESULT_CORRUPT_CONTAINER) << test.what;
        EXPECT_FALSE(status.detail().empty()) << test.what;
        EXPECT_FALSE(file) << test.what;
    }
}

TEST(CompoundFile, DamagedHeadersAndChainsAreRefused) {
    RawFile raw;
    raw.entries = {Root(1), RawEntry{u"a"}};
    const std::string good = raw.Bytes();
    std::unique_ptr<CompoundFile> file;
    ASSERT_TRUE(OpenBytes(good, file).ok());

    struct Patch {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        int bytes;
    };
    const Patch patches[] = {
        {"major version 5", 0x1A, 5, 2},
        {"byte order", 0x1C, 0xFEFF, 2},
        {"sector shift 10", 0x1E, 10, 2},
        {"mini sector shift 7", 0x20, 7, 2},
        {"cutoff 2048", 0x38, 2048, 4},
        {"no FAT sectors", 0x2C, 0, 4},
        {"more FAT sectors than the file", 0x2C, 1000, 4},
        {"FAT sector past the end", 0x4C, 4000, 4},
        {"directory past the end", 0x30, 4000, 4},
        {"directory chain looping", 512 + 4 * 1, 1, 4},  // FAT[1] = 1
        {"directory chain hitting a free sector", 512 + 4 * 1, 0xFFFFFFFF, 4},
        {"name length odd", 512 * 2 + 128 + 0x40, 3, 2},
        {"name length too long", 512 * 2 + 128 + 0x40, 66, 2},
        {"sector in use past the end", 512 + 4 * 5, kEndOfChain, 4},
    };
    for (const Patch& patch : patches) {
        std::string bytes = good;
        for (int i = 0; i < patch.bytes; ++i) {
            bytes[patch.offset + static_cast<std::size_t>(i)] =
                static_cast<char>(patch.value >> (8 * i));
        }
        const Status status = OpenBytes(bytes, file);
        EXPECT_EQ(status.code(), AAFRESULT_CORRUPT_CONTAINER) << patch.what;
        EXPECT_FALSE(status.detail().empty()) << patch.what;
    }
    std::string bytes = good;
    bytes[3] = 'x';
    EXPECT_EQ(OpenBytes(bytes, file).code(), AAFRESULT_NOT_COMPOUND_FILE);
    EXPECT_EQ(OpenBytes(good.substr(0, 300), file).code(), AAFRESULT_CORRUPT_CONTAINER);
}

TEST(CompoundFile, StreamsFollowTheirChainsAndBrokenChainsFail) {
    RawFile raw;
    // A 4500-byte stream in nine extra sectors chained in reverse order; one whose chain ends too
    // soon; an empty one whose start sector is FREESECT; an empty one with garbage in the high
    // half of its version-3 size.
    for (char letter = 'a'; letter < 'a' + 10; ++letter) {
        raw.extraSectors.emplace_back(512, letter);
    }
    raw.entries = {Root(1), RawEntry{u"split", 2, kNoStream, 2},
                   RawEntry{u"short", 2, kNoStream, 3}, RawEntry{u"empty", 2, kNoStream, 4},
                   RawEntry{u"garbage", 2}};
    raw.entries[1].start = raw.extra(8);
    raw.entries[1].size = 4500;
    for (std::size_t i = 8; i > 0; --i) {
        raw.fat[raw.extra(i)] = raw.extra(i - 1);
    }
    raw.entries[2].start = raw.extra(9);
    raw.entries[2].size = 4097;  // needs two sectors, the chain has one
    raw.entries[3].start = 0xFFFFFFFF;
    raw.entries[4].size = 0x0000000100000000ull;
    std::unique_ptr<CompoundFile> file;
    ASSERT_TRUE(OpenBytes(raw.Bytes(), file).ok());
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(file->ReadStream(1, data).ok());
    std::string expected;
    for (char letter = 'a' + 8; letter >= 'a'; --letter) {
        expected += std::string(512, letter);
    }
    expected.resize(4500);
    EXPECT_EQ(std::string(data.begin(), data.end()), expected);
    EXPECT_EQ(file->ReadStream(2, data).code(), AAFRESULT_CORRUPT_CONTAINER);
    EXPECT_TRUE(file->ReadStream(3, data).ok());
    EXPECT_TRUE(data.empty());
    EXPECT_TRUE(file->ReadStream(4, data).ok());
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(file->ReadStream(0, data).code(), AAFRESULT_CORRUPT_CONTAINER);  // not a stream

    raw.fat[raw.extra(0)] = raw.extra(8);  // a cycle
    raw.entries[1].size = 0x7FFFFFFF;      // more than the file holds: the file is corrupt
    EXPECT_EQ(OpenBytes(raw.Bytes(), file).code(), AAFRESULT_CORRUPT_CONTAINER);
    raw.entries[1].size = 9 * 512 + 1;  // fits in the file, but the chain comes back
    ASSERT_TRUE(OpenBytes(raw.Bytes(), file).ok());
    EXPECT_EQ(file->ReadStream(1, data).code(), AAFRESULT_CORRUPT_CONTAINER);
}

// Version 4 keeps all 64 bits of a stream's size: one just below 2^64 must not wrap to a few
// sectors when it is rounded up, and pass as fitting (found by fuzzing).
TEST(CompoundFile, StreamSizesNearTwoToTheSixtyFourAreRefused) {
    test::Storage root;
    root.streams["big"] = test::Bytes(100, 7);
    const std::string good = test::CompoundFileBytes(root, 4096, false);
    const std::string name("b\0i\0g\0", 6);
    const std::size_t entry = good.find(name);
    ASSERT_NE(entry, std::string::npos);
    for (const std::uint64_t size : {0xFFFFFFFFFFFFFF28ull, 0xFFFFFFFFFFFFFFFFull}) {
        std::string bytes = good;
        for (std::size_t i = 0; i < 8; ++i) {
            bytes[entry + 0x78 + i] = static_cast<char>(size >> (8 * i));
        }
        std::unique_ptr<CompoundFile> file;
        const Status status = OpenBytes(bytes, file);
        EXPECT_EQ(status.code(), AAFRESULT_CORRUPT_CONTAINER) << size;
        EXPECT_NE(status.detail().find("claims"), std::string::npos) << status.detail();
    }
}

TEST(CompoundFile, WrittenFilesReadBackInBothSectorSizes) {
    for (std::uint32_t sectorSize : {512u, 4096u}) {
        cfb::CompoundFileWriter writer(sectorSize);
        const auto storage = writer.AddStorage(cfb::CompoundFileWriter::kRootId, "s", {1, 2, 3});
        std::vector<std::uint8_t> small(100);
        std::vector<std::uint8_t> large(9000);
        for (std::size_t i = 0; i < large.size(); ++i) {
            large[i] = static_cast<std::uint8_t>(i * 7);
            if (i < small.size()) {
                small[i] = static_cast<std::uint8_t>(i);
            }
        }
        writer.AddStream(storage, "small", small);
        writer.AddStream(storage, "large", large);
        writer.AddStream(storage, "cutoff", std::vector<std::uint8_t>(4096, 9));
        writer.AddStream(storage, "empty", {});
        const std::vector<std::uint8_t> bytes = writer.ToBytes();
        std::unique_ptr<CompoundFile> file;
        ASSERT_TRUE(OpenBytes(std::string(bytes.begin(), bytes.end()), file).ok());
        EXPECT_EQ(file->SectorSize(), sectorSize);
        const auto s = file->FindChild(CompoundFile::kRoot, std::string_view("s"));
        ASSERT_NE(s, CompoundFile::kNoEntry);
        EXPECT_EQ(file->ClassIdBytes(s)[2], 3);
        std::vector<std::uint8_t> data;
        ASSERT_TRUE(file->ReadStream(file->FindChild(s, std::string_view("small")), data).ok());
        EXPECT_EQ(data, small);
        ASSERT_TRUE(file->ReadStream(file->FindChild(s, std::string_view("large")), data).ok());
        EXPECT_EQ(data, large);
        ASSERT_TRUE(file->ReadStream(file->FindChild(s, std::string_view("cutoff")), data).ok());
        EXPECT_EQ(data.size(), 4096u);
        ASSERT_TRUE(file->ReadStream(file->FindChild(s, std::string_view("empty")), data).ok());
        EXPECT_TRUE(data.empty());
    }
}

TEST(CompoundFile, AStorageWithAHundredThousandChildren) {
    cfb::CompoundFileWriter writer(512);
    const auto storage = writer.AddStorage(cfb::CompoundFileWriter::kRootId, "big");
    const std::size_t count = 100000;
    for (std::size_t i = 0; i < count; ++i) {
        writer.AddStream(storage, Name(i), {});
    }
    const std::vector<std::uint8_t> bytes = writer.ToBytes();
    std::unique_ptr<CompoundFile> file;
    ASSERT_TRUE(OpenBytes(std::string(bytes.begin(), bytes.end()), file).ok());
    const auto big = file->FindChild(CompoundFile::kRoot, std::string_view("big"));
    ASSERT_EQ(file->Children(big).size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto child = file->FindChild(big, Name(i));
        ASSERT_NE(child, CompoundFile::kNoEntry);
        ASSERT_EQ(file->Name(child), Name(i));
    }
}

// An opened file gives the pages of its directory and tables back to the system; a mapped file
// must still answer everything from what was copied, and its streams from the file.
TEST(CompoundFile, AMappedFileReadsWholeAfterItsDirectoryPagesAreGivenBack) {
    for (std::uint32_t sectorSize : {512u, 4096u}) {
        cfb::CompoundFileWriter writer(sectorSize);
        const std::size_t count = 3000;  // a directory of many pages
        std::vector<cfb::CompoundFileWriter::EntryId> storages;
        for (std::size_t i = 0; i < count; ++i) {
            const auto clsid = static_cast<std::uint8_t>(i % 7);
            const auto storage =
                writer.AddStorage(cfb::CompoundFileWriter::kRootId, Name(i), {clsid, 1});
            std::vector<std::uint8_t> small(1 + i % 200, static_cast<std::uint8_t>(i));
            writer.AddStream(storage, "small", small);
            if (i % 500 == 0) {
                writer.AddStream(storage, "large", std::vector<std::uint8_t>(5000 + i, 0x5A));
            }
        }
        const std::vector<std::uint8_t> bytes = writer.ToBytes();
        const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                           ("tessel_cfb_mapped_" + std::to_string(sectorSize));
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
        std::shared_ptr<const FileData> data;
        ASSERT_TRUE(FileData::Open(path.string(), data).ok());
        std::unique_ptr<CompoundFile> file;
        ASSERT_TRUE(CompoundFile::Open(data, file).ok());
        ASSERT_EQ(file->Children(CompoundFile::kRoot).size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            const auto storage = file->FindChild(CompoundFile::kRoot, Name(i));
            ASSERT_NE(storage, CompoundFile::kNoEntry);
            EXPECT_EQ(file->ClassIdBytes(storage)[0], i % 7);
            EXPECT_EQ(file->ClassIdBytes(storage)[1], 1);
            const auto small = file->FindChild(storage, std::string_view("small"));
            ASSERT_NE(small, CompoundFile::kNoEntry);
            EXPECT_EQ(file->StreamSize(small), 1 + i % 200);
            std::vector<std::uint8_t> read;
            ASSERT_TRUE(file->ReadStream(small, read).ok());
            ASSERT_EQ(read, std::vector<std::uint8_t>(1 + i % 200, static_cast<std::uint8_t>(i)));
            if (i % 500 == 0) {
                ASSERT_TRUE(
                    file->ReadStream(file->FindChild(storage, std::string_view("large")), read)
                        .ok());
                EXPECT_EQ(read, std::vector<std::uint8_t>(5000 + i, 0x5A));
            }
        }
        file.reset();
        data.reset();
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace tessel::aaf
