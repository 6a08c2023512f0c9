// libgsf as an independent reader: on every sample our container must list the same storages,
// streams, class ids and stream contents.

#include <gsf/gsf.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "aaf/compound_file.h"
#include "test_files.h"

namespace tessel::aaf {
namespace {

struct Item {
    bool storage = false;
    std::array<std::uint8_t, 16> clsid{};
    std::string content;  // streams only
};

void ListWithGsf(GsfInfile* storage, const std::string& path, std::map<std::string, Item>& out) {
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        GsfInput* child = gsf_infile_child_by_index(storage, i);
        ASSERT_NE(child, nullptr);
        const std::string name = path + "/" + gsf_infile_name_by_index(storage, i);
        Item item;
        const int grandChildren = gsf_infile_num_children(GSF_INFILE(child));
        if (grandChildren >= 0) {
            item.storage = true;
            gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child), item.clsid.data());
            ListWithGsf(GSF_INFILE(child), name, out);
        } else {
            const auto size = static_cast<std::size_t>(gsf_input_size(child));
            item.content.resize(size);
            if (size > 0) {
                ASSERT_NE(
                    gsf_input_read(child, size, reinterpret_cast<guint8*>(item.content.data())),
                    nullptr);
            }
        }
        out[name] = std::move(item);
        g_object_unref(child);
    }
}

void ListOurs(const CompoundFile& file, CompoundFile::EntryId storage, const std::string& path,
              std::map<std::string, Item>& out) {
    for (CompoundFile::EntryId child : file.Children(storage)) {
        const std::string name = path + "/" + file.Name(child);
        Item item;
        if (file.IsStorage(child)) {
            item.storage = true;
            item.clsid = file.ClassIdBytes(child);
            ListOurs(file, child, name, out);
        } else {
            std::vector<std::uint8_t> bytes;
            Status status = file.ReadStream(child, bytes);
            ASSERT_TRUE(status.ok()) << status.Message();
            item.content.assign(bytes.begin(), bytes.end());
        }
        EXPECT_EQ(file.FindChild(storage, file.Name16(child)), child) << name;
        out[name] = std::move(item);
    }
}

TEST(GsfCrossCheck, EverySampleListsTheSameTreeAsLibgsf) {
    const auto files = test::SampleFiles();
    if (files.empty()) {
        GTEST_SKIP() << "shared test data not present";
    }
    gsf_init();
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        GError* error = nullptr;
        GsfInput* input = gsf_input_stdio_new(path.c_str(), &error);
        ASSERT_NE(input, nullptr);
        GsfInfile* root = gsf_infile_msole_new(input, &error);
        ASSERT_NE(root, nullptr);
        std::map<std::string, Item> theirs;
        ListWithGsf(root, "", theirs);
        std::array<std::uint8_t, 16> rootClsid{};
        gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root), rootClsid.data());
        g_object_unref(root);
        g_object_unref(input);

        std::shared_ptr<const FileData> data;
        ASSERT_TRUE(FileData::Open(path.string(), data).ok());
        std::unique_ptr<CompoundFile> file;
        Status status = CompoundFile::Open(data, file);
        ASSERT_TRUE(status.ok()) << status.Message();
        std::map<std::string, Item> ours;
        ListOurs(*file, CompoundFile::kRoot, "", ours);
        EXPECT_EQ(file->ClassIdBytes(CompoundFile::kRoot), rootClsid);

        for (const auto& [name, item] : theirs) {
            EXPECT_TRUE(ours.count(name)) << "missing " << name;
        }
        for (const auto& [name, item] : ours) {
            EXPECT_TRUE(theirs.count(name)) << "extra " << name;
        }
        ASSERT_EQ(ours.size(), theirs.size());
        for (const auto& [name, item] : theirs) {
            auto found = ours.find(name);
            ASSERT_NE(found, ours.end()) << name;
            EXPECT_EQ(found->second.storage, item.storage) << name;
            EXPECT_EQ(found->second.clsid, item.clsid) << name;
            EXPECT_TRUE(found->second.content == item.content) << name;
        }
    }
}

}  // namespace
}  // namespace tessel::aaf
