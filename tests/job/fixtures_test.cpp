// Conversions of the shared AAF files: the synthetic EDIUS-shaped fixtures with their expected
// logs, and the real-world samples. Skipped when the shared folder is absent.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "job/conversion_job.h"
#include "model/log.h"
#include "strict_xml.h"

namespace {

namespace fs = std::filesystem;

const fs::path kShared = TESSEL_SHARED_DIR;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

class FixtureTest : public ::testing::Test, public LogTarget {
  protected:
    void SetUp() override {
        output = fs::temp_directory_path() /
                 ("tessel-fixtures-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(output);
        SetLogTarget(this);
    }
    void TearDown() override {
        SetLogTarget(nullptr);
        fs::remove_all(output);
    }
    void TakeLogLine(int /*kind*/, std::string line) override { text += line; }

    // Converts as the command line does, the log starting with its milestone.
    bool Convert(const fs::path& input, const fs::path& document, bool rename = true) {
        struct Done : ConversionClient {
            ConversionStatus status = ConversionStatus::kAborted;
            void PostConversionDone(ConversionStatus s) override { status = s; }
        } done;
        text.clear();
        LogLine("Start of Convertion...", kLogMilestone);
        ConversionThread({.inputPath = input.string(),
                          .outputPath = document.string(),
                          .renameAviToMov = rename},
                         &done);
        return done.status == ConversionStatus::kSucceeded;
    }

    fs::path output;
    std::string text;
};

// The title documents of the fixtures are named relative to their folder.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~WorkingDirectory() { fs::current_path(previous_); }

  private:
    fs::path previous_;
};

TEST_F(FixtureTest, SyntheticFixturesLogAsExpected) {
    const fs::path folder = kShared / "aaf-synthetic";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << folder << " is absent";
    }
    WorkingDirectory inFixtures(folder);
    int compared = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.path().string().ends_with(".expected.log")) {
            continue;
        }
        std::string name = entry.path().filename().string();
        name.resize(name.size() - std::string(".expected.log").size());
        const bool rename = !name.ends_with(".norename");
        const std::string base = rename ? name : name.substr(0, name.size() - 9);
        SCOPED_TRACE(name);
        const fs::path document = output / (name + ".xml");
        EXPECT_TRUE(Convert(folder / (base + ".aaf"), document, rename));

        std::ifstream file(entry.path(), std::ios::binary);
        const std::string expectedText{std::istreambuf_iterator<char>(file),
                                       std::istreambuf_iterator<char>()};
        std::vector<std::string> expected = SplitLines(expectedText);
        std::vector<std::string> actual = SplitLines(text);
        EXPECT_TRUE(text.ends_with("\r\n"));
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const std::string saving = "Saving Interchange Format to file ";
            if (expected[i].starts_with(saving)) {
                EXPECT_EQ(actual[i], saving + document.string());
            } else {
                EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 10);
}

TEST_F(FixtureTest, EverySampleConvertsToOneSequencePerComposition) {
    std::vector<fs::path> samples;
    for (const fs::path& folder :
         {kShared / "aaf-samples", kShared / "aaf" / "samples", kShared / "aaf-synthetic"}) {
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().extension() == ".aaf") {
                samples.push_back(entry.path());
            }
        }
    }
    if (samples.empty()) {
        GTEST_SKIP() << "no shared samples";
    }
    for (const fs::path& sample : samples) {
        SCOPED_TRACE(sample.string());
        std::shared_ptr<IAAFFile> file;
        ASSERT_TRUE(AAFRESULT_SUCCEEDED(AAFFileOpenExistingRead(sample.string(), 0, file)));
        std::shared_ptr<IAAFHeader> header;
        file->GetHeader(header);
        aafNumSlots_t compositions = 0;
        header->CountMobs(kAAFCompMob, compositions);
        file->Close();

        const fs::path document = output / "sample.xml";
        EXPECT_TRUE(Convert(sample, document));
        EXPECT_EQ(tessel::test::StrictXmlErrors(document.string()), "") << sample;
        pugi::xml_document xml;
        ASSERT_TRUE(xml.load_file(document.c_str())) << text;
        EXPECT_EQ(xml.select_nodes("/xmeml/sequence").size(), compositions);
        EXPECT_TRUE(text.ends_with("Finished!\r\n")) << text;
    }
}

}  // namespace
