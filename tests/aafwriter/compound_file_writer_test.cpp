#include "aaf/compound_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "directory_check.h"
#include "gsf_listing.h"

namespace {

using tessel::cfb::Clsid;
using tessel::cfb::CompoundFileWriter;
using tessel::testing::CheckSiblingTrees;
using tessel::testing::GsfListing;
using tessel::testing::ListWithGsf;

std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::path(::testing::TempDir()) / name;
}

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
    }
    return data;
}

Clsid ClassId(std::uint8_t tag) {
    Clsid c{};
    for (std::size_t i = 0; i < c.size(); ++i) {
        c[i] = static_cast<std::uint8_t>(tag + i);
    }
    return c;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SectorSizes : public ::testing::TestWithParam<std::uint32_t> {};

// Streams on both sides of every size boundary (mini sector, mini-stream cutoff, sector), nested
// storages with class ids: libgsf must read back exactly what was written, silently.
TEST_P(SectorSizes, LibgsfReadsBackTreeClassIdsAndStreams) {
    TESSEL_REQUIRE_GSF();
    const std::uint32_t sectorSize = GetParam();
    CompoundFileWriter writer(sectorSize);
    writer.SetRootClsid(ClassId(0xA0));
    writer.SetHeaderClsid(ClassId(0x10));
    std::map<std::string, std::vector<std::uint8_t>> streams;
    const auto outer = writer.AddStorage(CompoundFileWriter::kRootId, "Header-2", ClassId(1));
    const auto inner = writer.AddStorage(outer, "Content-3b03", ClassId(2));
    writer.AddStorage(inner, "Empty{0}", ClassId(3));
    const std::size_t sizes[] = {0, 1, 63, 64, 65, 4095, 4096, 4097, 100000};
    std::uint8_t seed = 0;
    for (std::size_t size : sizes) {
        const std::string name = std::string("s").append(std::to_string(size));
        auto data = Pattern(size, seed++);
        streams["Header-2/Content-3b03/" + name] = data;
        writer.AddStream(inner, name, data);
        streams["properties " + name] = data;
        writer.AddStream(CompoundFileWriter::kRootId, "properties " + name, data);
    }
    const auto path =
        TempPath(std::string("sizes-").append(std::to_string(sectorSize)).append(".cfb"));
    ASSERT_TRUE(writer.Write(path.string()).ok());

    const GsfListing listing = ListWithGsf(path.string());
    ASSERT_TRUE(listing.opened) << listing.error;
    EXPECT_TRUE(listing.messages.empty()) << listing.messages.front();
    EXPECT_EQ(listing.nodes.at("").clsid, ClassId(0xA0));
    EXPECT_EQ(listing.nodes.at("Header-2").clsid, ClassId(1));
    EXPECT_EQ(listing.nodes.at("Header-2/Content-3b03").clsid, ClassId(2));
    EXPECT_TRUE(listing.nodes.at("Header-2/Content-3b03/Empty{0}").isStorage);
    for (const auto& [streamPath, data] : streams) {
        ASSERT_TRUE(listing.nodes.count(streamPath)) << streamPath;
        EXPECT_EQ(listing.nodes.at(streamPath).data, data) << streamPath;
    }
    EXPECT_EQ(listing.nodes.size(), 4 + streams.size());

    const auto bytes = ReadAll(path);
    EXPECT_EQ(bytes.size() % sectorSize, 0u);
    EXPECT_EQ(bytes[0x1A], sectorSize == 512 ? 3 : 4);
    EXPECT_TRUE(std::equal(bytes.begin() + 8, bytes.begin() + 24, ClassId(0x10).begin()));
    EXPECT_TRUE(CheckSiblingTrees(bytes).empty());
}

// More than 109 FAT sectors need DIFAT sectors (about 7 MB with 512-byte sectors).
TEST_P(SectorSizes, LargeStreamsNeedingDifatSectors) {
    TESSEL_REQUIRE_GSF();
    CompoundFileWriter writer(GetParam());
    const auto big = Pattern(9 * 1024 * 1024 + 5, 3);
    writer.AddStream(CompoundFileWriter::kRootId, "big", big);
    writer.AddStream(CompoundFileWriter::kRootId, "small", Pattern(10, 1));
    const auto path =
        TempPath(std::string("difat-").append(std::to_string(GetParam())).append(".cfb"));
    ASSERT_TRUE(writer.Write(path.string()).ok());
    const auto bytes = ReadAll(path);
    EXPECT_EQ(bytes[0x48] != 0, GetParam() == 512);  // DIFAT sector count
    const GsfListing listing = ListWithGsf(path.string());
    ASSERT_TRUE(listing.opened) << listing.error;
    EXPECT_TRUE(listing.messages.empty());
    EXPECT_EQ(listing.nodes.at("big").data, big);
    EXPECT_EQ(listing.nodes.at("small").data, Pattern(10, 1));
}

// Storages with many children get balanced red-black trees in MS-CFB order, for every size.
TEST_P(SectorSizes, SiblingTreesAreBalancedRedBlackTrees) {
    TESSEL_REQUIRE_GSF();
    CompoundFileWriter writer(GetParam());
    for (int n : {1, 2, 3, 4, 7, 8, 100, 3002}) {
        const auto storage = writer.AddStorage(
            CompoundFileWriter::kRootId, std::string("n").append(std::to_string(n)), ClassId(9));
        for (int i = 0; i < n; ++i) {
            // Mixed lengths, cases and characters that sort differently by code unit and by case.
            std::string name = i % 3 == 0 ? "Ka_" : i % 3 == 1 ? "k_a" : "Mobs-1901{";
            name.append(std::to_string(i));
            if (i % 3 == 2) {
                name.push_back('}');
            }
            writer.AddStream(storage, name, {});
        }
    }
    tessel::cfb::WriteStatus status;
    const auto bytes = writer.ToBytes(&status);
    ASSERT_TRUE(status.ok()) << status.message;
    const auto faults = CheckSiblingTrees(bytes);
    EXPECT_TRUE(faults.empty()) << faults.front();

    const auto path =
        TempPath(std::string("children-").append(std::to_string(GetParam())).append(".cfb"));
    ASSERT_TRUE(writer.Write(path.string()).ok());
    const GsfListing listing = ListWithGsf(path.string());
    ASSERT_TRUE(listing.opened);
    EXPECT_EQ(listing.nodes.size(), 1u + 8u + (1 + 2 + 3 + 4 + 7 + 8 + 100 + 3002));
    EXPECT_TRUE(listing.nodes.count("n3002/Mobs-1901{2999}"));
}

INSTANTIATE_TEST_SUITE_P(CompoundFileWriter, SectorSizes, ::testing::Values(512u, 4096u));

TEST(CompoundFileWriter, RootOnlyFileIsHeaderFatAndDirectory) {
    CompoundFileWriter writer;
    tessel::cfb::WriteStatus status;
    const auto bytes = writer.ToBytes(&status);
    ASSERT_TRUE(status.ok());
    EXPECT_EQ(bytes.size(), 3u * 512u);
}

// Names a compound file cannot hold, a bad sector size and a parent that is a stream are refused
// when writing, and an existing file at the target stays as it was.
TEST(CompoundFileWriter, BadInputIsReportedAndLeavesTheTargetUntouched) {
    const auto path = TempPath("untouched.cfb");
    { std::ofstream(path, std::ios::binary) << "previous contents"; }
    auto expectRefused = [&](const CompoundFileWriter& writer) {
        const auto status = writer.Write(path.string());
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(status.message.empty());
        std::ifstream in(path);
        std::string contents((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(contents, "previous contents");
        EXPECT_FALSE(std::filesystem::exists(path.string() + ".partial"));
    };
    {
        CompoundFileWriter writer;
        writer.AddStream(CompoundFileWriter::kRootId, std::string(32, 'x'), {});
        expectRefused(writer);
    }
    {
        CompoundFileWriter writer;
        writer.AddStream(CompoundFileWriter::kRootId, "a/b", {});
        expectRefused(writer);
    }
    {
        CompoundFileWriter writer;
        writer.AddStream(CompoundFileWriter::kRootId, "", {});
        expectRefused(writer);
    }
    {
        CompoundFileWriter writer;
        writer.AddStream(CompoundFileWriter::kRootId, "Name", {});
        writer.AddStorage(CompoundFileWriter::kRootId, "nAME");
        expectRefused(writer);
    }
    {
        CompoundFileWriter writer;
        const auto stream = writer.AddStream(CompoundFileWriter::kRootId, "s", {});
        writer.AddStream(stream, "child", {});
        expectRefused(writer);
    }
    {
        CompoundFileWriter writer(1024);
        expectRefused(writer);
    }
    {
        CompoundFileWriter writer;
        writer.AddStream(CompoundFileWriter::kRootId, "\xC3", {});
        expectRefused(writer);
    }
}

TEST(CompoundFileWriter, UnwritableTargetIsReported) {
    CompoundFileWriter writer;
    const auto status = writer.Write((TempPath("no-such-folder") / "x.cfb").string());
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message.find("no-such-folder"), std::string::npos);
}

}  // namespace
