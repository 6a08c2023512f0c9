// Bad input of every kind: a clear, non-empty message and a failure code, never a crash.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "aaf/AAF.h"
#include "aaf/class_table.h"
#include "aaf_report.h"
#include "test_aaf.h"
#include "test_files.h"

namespace tessel::aaf::test {
namespace {

/// A scratch folder removed at the end of each test.
class MalformedInput : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessel_malformed_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::permissions(folder_ / "locked.aaf", std::filesystem::perms::owner_all,
                                     error);
        std::filesystem::remove_all(folder_, error);
    }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path path = folder_ / name;
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    /// Opens `path`; on failure checks the message and returns the code.
    static AAFRESULT OpenFails(const std::string& path) {
        std::shared_ptr<IAAFFile> file;
        const AAFRESULT result = AAFFileOpenExistingRead(path, 0, file);
        if (AAFRESULT_FAILED(result)) {
            EXPECT_FALSE(file);
            EXPECT_FALSE(AafResultText(result).empty());
            EXPECT_FALSE(AafLastOpenError().empty());
        }
        return result;
    }

    /// A real file to damage: a sample when the shared data is there, else one built here.
    static std::string Original() {
        const std::filesystem::path shared = SharedDir();
        if (!shared.empty()) {
            return ReadWholeFile(shared / "aaf/samples/A_premiere_multiple_top_level_mobs.aaf");
        }
        TestAaf aaf;
        for (std::uint32_t i = 0; i < 40; ++i) {
            const aafMobID_t id = TestMobID(i);
            aaf.AddMob(i, id, GetClassInfo(ClassId::kCompositionMob).auid,
                       PropertiesStream({{0x4401, 0x82, MobIDBytes(id)},
                                         {0x4402, 0x82, Utf16z(u"a composition name")}}));
        }
        return aaf.FileBytes();
    }

    std::filesystem::path folder_;
};

TEST_F(MalformedInput, FileSystemProblemsAreNamed) {
    EXPECT_EQ(OpenFails((folder_ / "missing.aaf").string()), AAFRESULT_FILE_NOT_FOUND);
    EXPECT_NE(AafLastOpenError().find("missing.aaf"), std::string::npos);
    EXPECT_EQ(OpenFails((folder_ / "no/such/folder.aaf").string()), AAFRESULT_FILE_NOT_FOUND);
    EXPECT_EQ(OpenFails(""), AAFRESULT_FILE_NOT_FOUND);
    EXPECT_EQ(OpenFails(folder_.string()), AAFRESULT_IS_DIRECTORY);
    const std::string locked = Write("locked.aaf", Original());
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    if (::geteuid() != 0) {  // root reads it anyway
        EXPECT_EQ(OpenFails(locked), AAFRESULT_ACCESS_DENIED);
    }
    std::shared_ptr<IAAFFile> file;
    EXPECT_EQ(AAFFileOpenExistingRead(Write("x.aaf", Original()), 1, file),
              AAFRESULT_INVALID_PARAM);
}

TEST_F(MalformedInput, ThingsThatAreNotAafFiles) {
    EXPECT_EQ(OpenFails(Write("empty.aaf", "")), AAFRESULT_NOT_COMPOUND_FILE);
    EXPECT_NE(AafLastOpenError().find("empty"), std::string::npos);
    EXPECT_EQ(OpenFails(Write("text.aaf", "<xml>not an AAF file</xml>\n")),
              AAFRESULT_NOT_COMPOUND_FILE);
    std::mt19937 random(7);
    std::string noise(20000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    EXPECT_EQ(OpenFails(Write("noise.aaf", noise)), AAFRESULT_NOT_COMPOUND_FILE);
    // Noise after a compound-file signature.
    const std::string signature = Original().substr(0, 8);
    EXPECT_EQ(OpenFails(Write("signed-noise.aaf", signature + noise)), AAFRESULT_CORRUPT_CONTAINER);

    // A sound compound file that is not AAF: without the signature, then without a Header.
    Storage root;
    root.streams["WordDocument"] = Bytes(5000, 1);
    EXPECT_EQ(OpenFails(Write("word.aaf", CompoundFileBytes(root, 512, false))),
              AAFRESULT_NOT_AAF_FILE);
    EXPECT_EQ(OpenFails(Write("headless.aaf", CompoundFileBytes(root, 4096, true))),
              AAFRESULT_NOT_AAF_FILE);
    TestAaf aaf;
    aaf.Root().storages.erase("Header-2");
    EXPECT_EQ(OpenFails(Write("no-header.aaf", aaf.FileBytes())), AAFRESULT_NOT_AAF_FILE);
}

TEST_F(MalformedInput, TruncatedCopiesAreRefusedWhenTheyOpen) {
    const std::string original = Original();
    const std::size_t sizes[] = {1,
                                 7,
                                 8,
                                 100,
                                 511,
                                 512,
                                 513,
                                 1024,
                                 original.size() / 4,
                                 original.size() / 2,
                                 original.size() * 3 / 4,
                                 original.size() - 4096,
                                 original.size() - 512,
                                 original.size() - 1};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        const AAFRESULT result = OpenFails(Write("cut.aaf", original.substr(0, size)));
        EXPECT_TRUE(AAFRESULT_FAILED(result));
    }
}

TEST_F(MalformedInput, DamagedStructuresAreRefused) {
    const std::string original = Original();
    struct Damage {
        const char* what;
        std::size_t offset;
        char value;
    };
    const Damage damages[] = {
        {"signature", 0, 'X'},
        {"AAF signature", 8, 0x7F},
        {"major version", 0x1A, 9},
        {"sector shift", 0x1E, 13},
        {"FAT sector count", 0x2F, 0x40},
        {"first directory sector", 0x33, 0x70},
        {"first FAT sector", 0x4F, 0x50},
    };
    for (const Damage& damage : damages) {
        std::string bytes = original;
        bytes[damage.offset] = damage.value;
        EXPECT_TRUE(AAFRESULT_FAILED(OpenFails(Write("damaged.aaf", bytes)))) << damage.what;
    }
}

// Random bit flips anywhere: the file either opens or is refused with a message, and whatever
// opens can be walked completely without a crash (the report reads every object it reaches).
TEST_F(MalformedInput, BitFlippedCopiesNeverCrash) {
    const std::string original = Original();
    std::mt19937 random(2024);
    std::uniform_int_distribution<std::size_t> position(0, original.size() - 1);
    std::uniform_int_distribution<int> bit(0, 7);
    int refused = 0;
    for (int round = 0; round < 150; ++round) {
        std::string bytes = original;
        for (int flips = 0; flips < 1 + round % 8; ++flips) {
            bytes[position(random)] ^= static_cast<char>(1 << bit(random));
        }
        const std::string path = Write("flipped.aaf", bytes);
        const aafinfo::Report report = aafinfo::BuildReport(path);
        if (AAFRESULT_FAILED(report.code)) {
            ++refused;
            EXPECT_FALSE(report.error.empty());
        }
    }
    SUCCEED() << refused << " of 150 damaged copies were refused";
}

// Damage to the structures a conversion reads after opening: the calls fail, they do not crash.
TEST_F(MalformedInput, DamagedObjectsFailTheirCalls) {
    TestAaf aaf;
    const aafMobID_t id = TestMobID(1);
    Storage& mob = aaf.AddMob(
        0, id, GetClassInfo(ClassId::kCompositionMob).auid,
        PropertiesStream({{0x4401, 0x82, MobIDBytes(id)}, {0x4403, 0x32, Utf16z(u"Slots-4403")}}));
    // The index claims a million slots; slot {0} has a truncated property table; slot {1} has a
    // value running past its stream; slot {2} has no properties stream; slot {3} is missing.
    Bytes index = VectorIndex({0, 1, 2, 3});
    index[0] = 0x40;
    index[1] = 0x42;
    index[2] = 0x0F;
    mob.streams["Slots-4403 index"] = index;
    const aafUID_t slotClass = GetClassInfo(ClassId::kTimelineMobSlot).auid;
    mob.Object("Slots-4403{0}", slotClass, Hex("4c 20 05 00 01 48 82 00"));
    mob.Object("Slots-4403{1}", slotClass, Hex("4c 20 01 00 01 48 82 00 40 00 01 00 00 00"));
    mob.storages["Slots-4403{2}"].clsid = Clsid(slotClass);
    auto file = aaf.Open();
    NodePtr header;
    ASSERT_TRUE(file->LoadHeader(header).ok());
    std::shared_ptr<IAAFMob> composition;
    ASSERT_EQ(IAAFHeader(header).LookupMob(id, composition), AAFRESULT_SUCCESS);
    aafNumSlots_t count = 0;
    EXPECT_EQ(composition->CountSlots(count), AAFRESULT_CORRUPT_OBJECT);

    index[0] = 4;
    index[1] = index[2] = 0;
    mob.streams["Slots-4403 index"] = index;
    file = aaf.Open();
    ASSERT_TRUE(file->LoadHeader(header).ok());
    ASSERT_EQ(IAAFHeader(header).LookupMob(id, composition), AAFRESULT_SUCCESS);
    ASSERT_EQ(composition->CountSlots(count), AAFRESULT_SUCCESS);
    ASSERT_EQ(count, 4u);
    for (aafUInt32 i = 0; i < count; ++i) {
        std::shared_ptr<IAAFMobSlot> slot;
        EXPECT_EQ(composition->GetSlotAt(i, slot), AAFRESULT_CORRUPT_OBJECT) << i;
        EXPECT_FALSE(slot);
    }
    std::shared_ptr<IAAFMobSlot> slot;
    EXPECT_EQ(composition->LookupSlot(1, slot), AAFRESULT_SLOT_NOT_FOUND);

    // An index that names one element storage three times: the first gets it, the repeats are
    // damaged (else a few bytes could make one slot stand for thousands).
    mob.storages.erase("Slots-4403{1}");
    mob.Object("Slots-4403{5}", slotClass, PropertiesStream({}));
    mob.streams["Slots-4403 index"] = VectorIndex({5, 5, 5});
    file = aaf.Open();
    ASSERT_TRUE(file->LoadHeader(header).ok());
    ASSERT_EQ(IAAFHeader(header).LookupMob(id, composition), AAFRESULT_SUCCESS);
    ASSERT_EQ(composition->CountSlots(count), AAFRESULT_SUCCESS);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(composition->GetSlotAt(0, slot), AAFRESULT_SUCCESS);
    EXPECT_EQ(composition->GetSlotAt(1, slot), AAFRESULT_CORRUPT_OBJECT);
    EXPECT_EQ(composition->GetSlotAt(2, slot), AAFRESULT_CORRUPT_OBJECT);
}

// Elements are found by key whatever order the index lists them in: ascending (the usual case,
// with gaps and keys of several hexadecimal digits), descending, shuffled, and with a key that
// has no storage among them.
TEST_F(MalformedInput, ElementsAreFoundInAnyIndexOrder) {
    const aafUID_t slotClass = GetClassInfo(ClassId::kTimelineMobSlot).auid;
    const std::vector<std::vector<std::uint32_t>> orders = {{0, 1, 2, 0x1f, 0x100, 0xabc},
                                                            {0xabc, 0x100, 0x1f, 2, 1, 0},
                                                            {2, 0x100, 0, 0xabc, 1, 0x1f},
                                                            {0, 1, 7, 2, 0x1f, 0x100}};
    for (const auto& order : orders) {
        TestAaf aaf;
        const aafMobID_t id = TestMobID(1);
        Storage& mob = aaf.AddMob(0, id, GetClassInfo(ClassId::kCompositionMob).auid,
                                  PropertiesStream({{0x4401, 0x82, MobIDBytes(id)},
                                                    {0x4403, 0x32, Utf16z(u"Slots-4403")}}));
        for (std::uint32_t key : {0u, 1u, 2u, 0x1fu, 0x100u, 0xabcu}) {
            char name[32];
            std::snprintf(name, sizeof name, "Slots-4403{%x}", key);
            // Each slot's id is its key, so that the test can tell which storage it got.
            mob.Object(name, slotClass, PropertiesStream({{pid::kSlotID, 0x82, U32(key)}}));
        }
        mob.streams["Slots-4403 index"] = VectorIndex(order);
        auto file = aaf.Open();
        NodePtr header;
        ASSERT_TRUE(file->LoadHeader(header).ok());
        std::shared_ptr<IAAFMob> composition;
        ASSERT_EQ(IAAFHeader(header).LookupMob(id, composition), AAFRESULT_SUCCESS);
        for (aafUInt32 i = 0; i < order.size(); ++i) {
            std::shared_ptr<IAAFMobSlot> slot;
            if (order[i] == 7) {
                EXPECT_EQ(composition->GetSlotAt(i, slot), AAFRESULT_CORRUPT_OBJECT);
                continue;
            }
            ASSERT_EQ(composition->GetSlotAt(i, slot), AAFRESULT_SUCCESS) << i;
            aafSlotID_t slotId = 0;
            ASSERT_EQ(slot->GetSlotID(slotId), AAFRESULT_SUCCESS);
            EXPECT_EQ(slotId, order[i]) << i;
        }
    }
}

TEST(ResultText, EveryCodeHasASentence) {
    const AAFRESULT codes[] = {
        AAFRESULT_SUCCESS,           AAFRESULT_NOT_AAF_FILE,   AAFRESULT_SMALLBUF,
        AAFRESULT_NULLOBJECT,        AAFRESULT_BADINDEX,       AAFRESULT_PROP_NOT_PRESENT,
        AAFRESULT_OBJECT_NOT_FOUND,  AAFRESULT_SLOT_NOT_FOUND, AAFRESULT_MOB_NOT_FOUND,
        AAFRESULT_NO_MORE_OBJECTS,   AAFRESULT_NULL_PARAM,     AAFRESULT_NOT_INITIALIZED,
        AAFRESULT_ILLEGAL_VALUE,     AAFRESULT_INVALID_PARAM,  AAFRESULT_ABSTRACT_CLASS,
        AAFRESULT_NO_INTERFACE,      AAFRESULT_FILE_NOT_FOUND, AAFRESULT_ACCESS_DENIED,
        AAFRESULT_IS_DIRECTORY,      AAFRESULT_READ_FAILED,    AAFRESULT_NOT_COMPOUND_FILE,
        AAFRESULT_CORRUPT_CONTAINER, AAFRESULT_CORRUPT_OBJECT, AAFRESULT_FILE_CLOSED,
        AAFRESULT_UNKNOWN_CLASS,     AAFRESULT_FILE_TOO_LARGE};
    std::set<std::string> texts;
    for (AAFRESULT code : codes) {
        const std::string text = AafResultText(code);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '.');
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes));  // each says something of its own
    EXPECT_EQ(AafResultText(tessel::aaf::MakeResult(0x80121234)), "Unknown AAF error 0x80121234.");
}

}  // namespace
}  // namespace tessel::aaf::test
