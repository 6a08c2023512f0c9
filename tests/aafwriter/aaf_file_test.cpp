// The files the builder writes, seen from outside: libgsf must read them silently, and the parts
// other readers rely on (signature, root, set indexes, referenced properties) must be as real
// AAF files have them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "aaf/compound_file.h"
#include "aaf/file_data.h"
#include "aafwriter/builder.h"
#include "gsf_listing.h"

namespace {

using namespace tessel::aafwriter;
using tessel::testing::GsfListing;
using tessel::testing::ListWithGsf;

std::string TempFile(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) / name).string();
}

/// A small EDIUS-shaped edit touching every kind of object the builder makes.
void BuildEdit(AafBuilder& b) {
    MediaSpec interview;
    interview.name = "Interview";
    interview.path = "D:\\EDIUS\\Media\\interview.mov";
    interview.soundSlots = 2;
    const MediaRef media = b.AddMedia(interview);
    MediaSpec music;
    music.name = "Music";
    music.path = "D:\\EDIUS\\Media\\music.wav";
    music.picture.reset();
    music.soundSlots = 1;
    music.sound.kind = SoundDescriptorKind::kPcm;
    const MediaRef song = b.AddMedia(music);

    Composition cut = b.AddComposition("Cut");
    cut.AddTimecodeSlot(90000, 25, false, 300, {.name = "TC1"});
    Track v1 = cut.AddPictureTrack({.physicalNumber = 1, .name = "V1"});
    v1.AddClip(media, 100, 250);
    v1.AddTransition(10, 5);
    v1.AddSpeedClip(media, 50, 0, {-1, 1});
    v1.AddFiller(25);
    Object& group =
        v1.Append(b.MakeOperationGroup(DataKind::kPicture, 40, operations::kVideoSpeedControl));
    AafBuilder::AddInput(group, b.MakeSourceClip(DataKind::kPicture, 40, media.masterId, 1, 0));
    b.AddVaryingParameter(group, parameters::kSpeedRatio, interpolations::kLinear,
                          {{{0, 1}, {1, 2}}, {{1, 1}, {2, 1}}});
    Track a1 = cut.AddSoundTrack({.physicalNumber = 1});
    a1.AddClip(media, 100, 250, 0);
    a1.AddClip(song, 200);
}

std::uint32_t Le32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return static_cast<std::uint32_t>(d[at] | d[at + 1] << 8 | d[at + 2] << 16) |
           static_cast<std::uint32_t>(d[at + 3]) << 24;
}

class BothSectorSizes : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(BothSectorSizes, LibgsfReadsEveryStorageAndStreamWithoutAWord) {
    TESSEL_REQUIRE_GSF();
    AafBuilder b({.sectorSize = GetParam()});
    BuildEdit(b);
    const std::string path = TempFile(std::string("edit-").append(std::to_string(GetParam())));
    const auto status = b.Write(path);
    ASSERT_TRUE(status.ok()) << status.message;

    const GsfListing listing = ListWithGsf(path);
    ASSERT_TRUE(listing.opened) << listing.error;
    EXPECT_TRUE(listing.messages.empty()) << listing.messages.front();
    std::size_t storages = 0;
    for (const auto& [nodePath, node] : listing.nodes) {
        if (!node.isStorage) {
            continue;
        }
        ++storages;
        EXPECT_TRUE(listing.nodes.count(nodePath.empty() ? "properties" : nodePath + "/properties"))
            << nodePath;
        EXPECT_NE(node.clsid, (std::array<std::uint8_t, 16>{})) << nodePath;
    }
    EXPECT_GT(storages, 100u);
    EXPECT_TRUE(listing.nodes.count("MetaDictionary-1/ClassDefinitions-3 index"));
    EXPECT_TRUE(listing.nodes.count("Header-2/Dictionary-3b04/DataDefinitions-2605 index"));
    EXPECT_TRUE(listing.nodes.count("referenced properties"));
}

// Our own container reader and libgsf see the same storages, class ids and stream bytes.
TEST_P(BothSectorSizes, ContainerReaderAndLibgsfSeeTheSameTree) {
    TESSEL_REQUIRE_GSF();
    AafBuilder b({.sectorSize = GetParam()});
    BuildEdit(b);
    const std::string path = TempFile(std::string("same-").append(std::to_string(GetParam())));
    ASSERT_TRUE(b.Write(path).ok());
    const GsfListing listing = ListWithGsf(path);
    ASSERT_TRUE(listing.opened);

    std::shared_ptr<const tessel::aaf::FileData> data;
    ASSERT_TRUE(tessel::aaf::FileData::Open(path, data).ok());
    std::unique_ptr<tessel::aaf::CompoundFile> file;
    const auto opened = tessel::aaf::CompoundFile::Open(data, file);
    ASSERT_TRUE(opened.ok()) << opened.Message();
    std::size_t seen = 0;
    std::function<void(tessel::aaf::CompoundFile::EntryId, const std::string&)> walk =
        [&](tessel::aaf::CompoundFile::EntryId id, const std::string& at) {
            ++seen;
            const auto node = listing.nodes.find(at);
            ASSERT_NE(node, listing.nodes.end()) << at;
            EXPECT_EQ(node->second.isStorage, file->IsStorage(id)) << at;
            if (file->IsStorage(id)) {
                EXPECT_EQ(node->second.clsid, file->ClassIdBytes(id)) << at;
                for (const auto child : file->Children(id)) {
                    walk(child, at.empty() ? file->Name(child) : at + "/" + file->Name(child));
                }
            } else {
                std::vector<std::uint8_t> bytes;
                ASSERT_TRUE(file->ReadStream(id, bytes).ok());
                EXPECT_EQ(bytes, node->second.data) << at;
            }
        };
    walk(tessel::aaf::CompoundFile::kRoot, "");
    EXPECT_EQ(seen, listing.nodes.size());
}

INSTANTIATE_TEST_SUITE_P(AafFile, BothSectorSizes, ::testing::Values(512u, 4096u));

// The root's `properties` are byte for byte those of every AAF file (two strong references).
TEST(AafFile, SignatureAndRootAreThoseOfRealFiles) {
    TESSEL_REQUIRE_GSF();
    for (std::uint32_t sectorSize : {512u, 4096u}) {
        AafBuilder b({.sectorSize = sectorSize});
        BuildEdit(b);
        const auto bytes = b.ToBytes();
        ASSERT_FALSE(bytes.empty());
        const std::vector<std::uint8_t> signature =
            sectorSize == 512
                ? std::vector<std::uint8_t>{0x41, 0x41, 0x46, 0x42, 0x0d, 0x00, 0x4f, 0x4d,
                                            0x06, 0x0e, 0x2b, 0x34, 0x01, 0x01, 0x01, 0xff}
                : std::vector<std::uint8_t>{0x01, 0x02, 0x01, 0x0d, 0x00, 0x02, 0x00, 0x00,
                                            0x06, 0x0e, 0x2b, 0x34, 0x03, 0x02, 0x01, 0x01};
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), bytes.begin() + 8));
    }
    AafBuilder b;
    const std::string path = TempFile("root.aaf");
    ASSERT_TRUE(b.Write(path).ok());
    const GsfListing listing = ListWithGsf(path);
    const std::vector<std::uint8_t> root = {
        0x4c, 0x20, 0x02, 0x00, 0x01, 0x00, 0x22, 0x00, 0x22, 0x00, 0x02, 0x00, 0x22, 0x00,
        0x12, 0x00, 0x4d, 0x00, 0x65, 0x00, 0x74, 0x00, 0x61, 0x00, 0x44, 0x00, 0x69, 0x00,
        0x63, 0x00, 0x74, 0x00, 0x69, 0x00, 0x6f, 0x00, 0x6e, 0x00, 0x61, 0x00, 0x72, 0x00,
        0x79, 0x00, 0x2d, 0x00, 0x31, 0x00, 0x00, 0x00, 0x48, 0x00, 0x65, 0x00, 0x61, 0x00,
        0x64, 0x00, 0x65, 0x00, 0x72, 0x00, 0x2d, 0x00, 0x32, 0x00, 0x00, 0x00};
    EXPECT_EQ(listing.nodes.at("properties").data, root);
    const std::array<std::uint8_t, 16> rootClass = {0xa5, 0x98, 0xb3, 0xb3, 0x90, 0x1c, 0xd4, 0x11,
                                                    0x80, 0x53, 0x08, 0x00, 0x36, 0x21, 0x08, 0x04};
    EXPECT_EQ(listing.nodes.at("").clsid, rootClass);
}

// The Mobs set index lists its 32-byte keys in ascending byte order (what SDK writers do and
// what the SDK enumerates by), each key equal to the MobID stored in that element.
TEST(AafFile, MobsIndexIsInAscendingKeyOrderWithMatchingElements) {
    TESSEL_REQUIRE_GSF();
    AafBuilder b;
    // Creation order differs from key order: the first mob gets the largest id.
    aafMobID_t late = b.NewMobId();
    late.material.Data4[7] = 0xFF;
    late.SMPTELabel[11] = 0xFF;
    b.AddComposition("late", late);
    BuildEdit(b);
    const std::string path = TempFile("mobs.aaf");
    ASSERT_TRUE(b.Write(path).ok());
    const GsfListing listing = ListWithGsf(path);
    const auto& index = listing.nodes.at("Header-2/Content-3b03/Mobs-1901 index").data;
    const std::uint32_t count = Le32(index, 0);
    ASSERT_EQ(index.size(), 15u + count * 40u);
    EXPECT_EQ(index[12] | index[13] << 8, 0x4401);
    EXPECT_EQ(index[14], 32);
    std::vector<std::uint8_t> previous;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 15 + i * 40;
        const std::vector<std::uint8_t> key(index.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                            index.begin() + static_cast<std::ptrdiff_t>(at + 40));
        EXPECT_LT(previous, key);
        previous = key;
        std::ostringstream element;
        element << "Header-2/Content-3b03/Mobs-1901{" << std::hex << Le32(index, at)
                << "}/properties";
        const auto& props = listing.nodes.at(element.str()).data;
        EXPECT_NE(std::search(props.begin(), props.end(), key.begin(), key.end()), props.end());
    }
    EXPECT_EQ(previous[11], 0xFF);  // the mob made first comes last
}

}  // namespace
