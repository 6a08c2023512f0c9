#include "job/conversion_job.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "aafwriter/builder.h"
#include "model/clip_registry.h"
#include "model/log.h"
#include "strict_xml.h"

namespace {

using tessel::aafwriter::AafBuilder;
using tessel::aafwriter::MediaRef;
using Lines = std::vector<std::string>;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ConversionJobTest : public ::testing::Test, public LogTarget, public ConversionClient {
  protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder =
            (std::filesystem::temp_directory_path() / ("tessel-job-" + std::string(test->name())))
                .string();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        SetLogTarget(this);
    }
    void TearDown() override {
        SetLogTarget(nullptr);
        std::filesystem::remove_all(folder);
    }
    void TakeLogLine(int kind, std::string line) override {
        if (kind == kLogError) {
            errors.push_back(line.substr(0, line.size() - 2));
        }
        if (throwOn == line) {
            throw std::runtime_error("the log target failed");
        }
        log.push_back(line.substr(0, line.size() - 2));
    }
    void PostConversionDone(ConversionStatus status) override { statuses.push_back(status); }

    ConversionStatus Convert(const std::string& input, const std::string& output,
                             bool rename = true) {
        statuses.clear();
        log.clear();
        errors.clear();
        ConversionThread({.inputPath = input, .outputPath = output, .renameAviToMov = rename},
                         this);
        EXPECT_EQ(statuses.size(), 1u);
        EXPECT_EQ(g_aafFile, nullptr);
        EXPECT_EQ(g_aafHeader, nullptr);
        EXPECT_TRUE(g_videoClipsByPath.Empty());
        EXPECT_TRUE(g_audioClipsByPath.Empty());
        return statuses.empty() ? ConversionStatus::kAborted : statuses.back();
    }

    // One composition with a video clip and its sound, on an ".avi" file.
    std::string WriteSmallEdit() {
        AafBuilder builder;
        MediaRef media =
            builder.AddMedia({.path = "C:\\Media\\Take.AVI", .soundSlots = 1, .sound = {}});
        auto composition = builder.AddComposition("Edit");
        composition.AddTimecodeSlot(900000, 25, false, 100);
        composition.AddPictureTrack().AddClip(media, 100);
        composition.AddSoundTrack().AddClip(media, 100);
        const std::string path = folder + "/edit.aaf";
        EXPECT_TRUE(builder.Write(path).ok());
        return path;
    }

    std::string folder;
    Lines log;
    Lines errors;
    std::vector<ConversionStatus> statuses;
    std::string throwOn;
};

TEST_F(ConversionJobTest, AWholeConversionLogsEveryStepInOrder) {
    const std::string input = WriteSmallEdit();
    const std::string output = folder + "/edit.xml";
    EXPECT_EQ(Convert(input, output), ConversionStatus::kSucceeded);

    EXPECT_EQ(log, (Lines{"Processing Sequence: Edit", "Processing Track #0", "Processing Track #1",
                          "Processing 1 ClipItems at current video track.", "Processing Track #2",
                          "Processing 1 ClipItems at current audio track.",
                          "Processing Effects and Transitions...", "Convertion done.",
                          "Saving Interchange Format to file " + output, "Finished!"}));
    EXPECT_EQ(tessel::test::StrictXmlErrors(output), "");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(output.c_str()));
    EXPECT_EQ(document.select_nodes("/xmeml/sequence").size(), 1u);
}

TEST_F(ConversionJobTest, AMissingInputLogsOneErrorAndWritesNothing) {
    const std::string output = folder + "/out.xml";
    EXPECT_EQ(Convert(folder + "/missing.aaf", output), ConversionStatus::kInputNotOpened);

    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(errors, log);
    EXPECT_NE(log[0].find("missing.aaf"), std::string::npos) << log[0];
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(ConversionJobTest, AFileWithoutCompositionsGivesOnlyTheImportOptions) {
    AafBuilder builder;
    builder.AddMedia({.path = "C:\\unused.mov", .sound = {}});
    const std::string input = folder + "/empty.aaf";
    ASSERT_TRUE(builder.Write(input).ok());
    const std::string output = folder + "/empty.xml";
    EXPECT_EQ(Convert(input, output), ConversionStatus::kSucceeded);

    EXPECT_EQ(log, (Lines{"Processing Effects and Transitions...", "Convertion done.",
                          "Saving Interchange Format to file " + output, "Finished!"}));
    EXPECT_EQ(tessel::test::StrictXmlErrors(output), "");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(output.c_str()));
    pugi::xml_node root = document.document_element();
    EXPECT_STREQ(root.name(), "xmeml");
    EXPECT_STREQ(root.attribute("version").value(), "4");
    EXPECT_STREQ(root.first_child().name(), "importoptions");
    EXPECT_EQ(root.first_child().next_sibling(), pugi::xml_node());
}

TEST_F(ConversionJobTest, TheInputIsNeverOverwritten) {
    const std::string input = WriteSmallEdit();
    const std::string before = ReadFile(input);
    EXPECT_EQ(Convert(input, input), ConversionStatus::kOutputNotSaved);
    EXPECT_EQ(Convert(input, folder + "/./edit.aaf"), ConversionStatus::kOutputNotSaved);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("edit.aaf"), std::string::npos) << errors[0];
    EXPECT_EQ(ReadFile(input), before);
}

TEST_F(ConversionJobTest, AFailedSaveIsAnErrorAndNotFinished) {
    const std::string input = WriteSmallEdit();
    const std::string output = folder + "/no such folder/edit.xml";
    EXPECT_EQ(Convert(input, output), ConversionStatus::kOutputNotSaved);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(output), std::string::npos) << errors[0];
    EXPECT_EQ(log.back(), errors[0]);
    EXPECT_EQ(log[log.size() - 2], "Saving Interchange Format to file " + output);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(ConversionJobTest, AnExceptionEndsTheConversionButTheFileIsClosedAndTheClientTold) {
    const std::string input = WriteSmallEdit();
    const std::string output = folder + "/edit.xml";
    throwOn = "Convertion done.\r\n";
    EXPECT_EQ(Convert(input, output), ConversionStatus::kAborted);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("the log target failed"), std::string::npos) << errors[0];
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(ConversionJobTest, RenamingChangesThePathsButNotTheLog) {
    const std::string input = WriteSmallEdit();
    const std::string renamed = folder + "/renamed.xml";
    const std::string kept = folder + "/kept.xml";
    Convert(input, renamed, true);
    Lines renamedLog = log;
    Convert(input, kept, false);
    renamedLog.at(renamedLog.size() - 2) = log.at(log.size() - 2);
    EXPECT_EQ(renamedLog, log);

    auto paths = [](const std::string& output) {
        EXPECT_EQ(tessel::test::StrictXmlErrors(output), "");
        pugi::xml_document document;
        EXPECT_TRUE(document.load_file(output.c_str()));
        Lines found;
        for (const pugi::xpath_node& node : document.select_nodes("//pathurl")) {
            found.push_back(node.node().text().get());
        }
        return found;
    };
    EXPECT_EQ(paths(renamed), (Lines{"C:\\Media\\Take.mov", "C:\\Media\\Take.mov"}));
    EXPECT_EQ(paths(kept), (Lines{"C:\\Media\\Take.AVI", "C:\\Media\\Take.AVI"}));
}

TEST_F(ConversionJobTest, ASecondConversionStartsAfresh) {
    const std::string input = WriteSmallEdit();
    Convert(input, folder + "/first.xml");
    Convert(input, folder + "/second.xml");
    EXPECT_EQ(ReadFile(folder + "/first.xml"), ReadFile(folder + "/second.xml"));
}

}  // namespace
