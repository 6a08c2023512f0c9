// Runs the tessel-convert program as a user would.

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "aafwriter/builder.h"

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int exitCode = -1;
    std::string output;  // stdout and stderr together
};

// Each argument is passed as it is (single-quoted for the shell); `environment` ("NAME=value
// ...") is put before the command.
ProgramRun RunConvert(const std::vector<std::string>& arguments,
                      const std::string& environment = "") {
    ProgramRun run;
    std::string command;
    for (const std::string& argument : arguments) {
        command.append("'").append(argument).append("' ");
    }
    command.insert(0, environment + " '" + TESSEL_CONVERT + "' ");
    command.append("2>&1");
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, read);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ConvertRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tessel-cli-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        tessel::aafwriter::AafBuilder builder;
        auto media = builder.AddMedia({.path = "C:\\take.avi", .soundSlots = 1, .sound = {}});
        auto composition = builder.AddComposition("Edit");
        composition.AddPictureTrack().AddClip(media, 100);
        composition.AddSoundTrack().AddClip(media, 100);
        input = folder / "edit.aaf";
        ASSERT_TRUE(builder.Write(input.string()).ok());
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    fs::path input;
};

TEST_F(ConvertRunTest, ConvertsNextToTheInputAndPrintsMilestones) {
    ProgramRun run = RunConvert({input.string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output,
              "Start of Convertion...\nFinished!\n1 sequence, 2 of 2 source clips written\n");
    EXPECT_NE(ReadFile(folder / "edit.xml").find("<pathurl>C:\\take.mov</pathurl>"),
              std::string::npos);
}

TEST_F(ConvertRunTest, WritesTheWholeLogAndKeepsAviWhenAsked) {
    const fs::path output = folder / "out.xml";
    const fs::path log = folder / "run.log";
    ProgramRun run =
        RunConvert({"-q", "--no-rename", "--log", log.string(), input.string(), output.string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
    const std::string text = ReadFile(log);
    EXPECT_TRUE(text.starts_with("Start of Convertion...\r\nProcessing Sequence: Edit\r\n"))
        << text;
    EXPECT_TRUE(text.ends_with("Saving Interchange Format to file " + output.string() +
                               "\r\nFinished!\r\n"))
        << text;
    EXPECT_NE(ReadFile(output).find("<pathurl>C:\\take.avi</pathurl>"), std::string::npos);
}

TEST_F(ConvertRunTest, VerbosePrintsEveryLine) {
    ProgramRun run = RunConvert({"-v", input.string(), (folder / "v.xml").string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("Processing 1 ClipItems at current audio track.\n"),
              std::string::npos)
        << run.output;
}

TEST_F(ConvertRunTest, FailuresExitWithOne) {
    ProgramRun missing = RunConvert({(folder / "missing.aaf").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("missing.aaf"), std::string::npos) << missing.output;
    EXPECT_FALSE(fs::exists(folder / "missing.xml"));

    ProgramRun unsaved = RunConvert({input.string(), (folder / "absent" / "x.xml").string()});
    EXPECT_EQ(unsaved.exitCode, 1);
    EXPECT_EQ(unsaved.output.find("Finished!"), std::string::npos) << unsaved.output;

    ProgramRun overInput = RunConvert({input.string(), input.string()});
    EXPECT_EQ(overInput.exitCode, 1);
}

TEST_F(ConvertRunTest, UsageErrorsExitWithTwoAndHelpWithZero) {
    ProgramRun none = RunConvert({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.output.starts_with("tessel-convert: ")) << none.output;
    EXPECT_EQ(RunConvert({"--bogus", "x.aaf"}).exitCode, 2);

    ProgramRun help = RunConvert({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.starts_with("Usage: tessel-convert")) << help.output;
    EXPECT_NE(help.output.find("--portable"), std::string::npos) << help.output;
    ProgramRun version = RunConvert({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.starts_with("tessel-convert ")) << version.output;
}

// The converter restarts itself once to ask for a huge-page heap: a tunable the user set (this
// one or another) neither loops nor gets lost, and the conversion is the same.
TEST_F(ConvertRunTest, RunsTheSameWithTheUsersMemoryTunables) {
    for (const std::string tunables :
         {"GLIBC_TUNABLES=glibc.malloc.hugetlb=0", "GLIBC_TUNABLES=glibc.malloc.tcache_count=7",
          "GLIBC_TUNABLES="}) {
        SCOPED_TRACE(tunables);
        const fs::path output = folder / "tunables.xml";
        ProgramRun run = RunConvert({input.string(), output.string()}, tunables);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output,
                  "Start of Convertion...\nFinished!\n1 sequence, 2 of 2 source clips written\n");
        EXPECT_NE(ReadFile(output).find("<pathurl>C:\\take.mov</pathurl>"), std::string::npos);
    }
}

// An edit whose second track nests a sequence of `nested` clips: they are not carried.
void WriteNestedEdit(const fs::path& path, int nested) {
    tessel::aafwriter::AafBuilder builder;
    auto media = builder.AddMedia({.path = "C:\\take.avi", .soundSlots = 1, .sound = {}});
    auto composition = builder.AddComposition("Nested");
    composition.AddTimecodeSlot(90000, 25, false, 200);
    composition.AddPictureTrack().AddClip(media, 100);
    auto inner = builder.MakeSequence(tessel::aafwriter::DataKind::kPicture);
    for (int i = 0; i < nested; ++i) {
        tessel::aafwriter::AafBuilder::AppendComponent(
            *inner, builder.MakeSourceClip(tessel::aafwriter::DataKind::kPicture, 10,
                                           media.masterId, media.pictureSlot, 0));
    }
    auto second = composition.AddPictureTrack();
    second.AddFiller(25);
    second.Append(std::move(inner));
    ASSERT_TRUE(builder.Write(path.string()).ok());
}

TEST_F(ConvertRunTest, ReportsWhatWentInAndWhatCameOut) {
    WriteNestedEdit(input, 3);
    const fs::path report = folder / "report.json";
    ProgramRun run = RunConvert({"--report", report.string(), input.string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Finished!\n1 sequence, 1 of 4 source clips written; 3 not carried "
                              "(nested sequence in V2 at 01:00:01:00)\n"),
              std::string::npos)
        << run.output;

    const nlohmann::json json = nlohmann::json::parse(ReadFile(report));
    EXPECT_EQ(json["input"], input.string());
    EXPECT_EQ(json["output"], (folder / "edit.xml").string());
    EXPECT_EQ(json["status"], "converted");
    EXPECT_FALSE(json.contains("error"));
    ASSERT_EQ(json["sequences"].size(), 1U);
    const nlohmann::json& sequence = json["sequences"][0];
    EXPECT_EQ(sequence["name"], "Nested");
    EXPECT_EQ(sequence["source_clips_in_timeline"], 4);
    EXPECT_EQ(sequence["source_clips_written"], 1);
    EXPECT_EQ(sequence["clip_items"], 1);
    EXPECT_EQ(sequence["titles"]["default_text"], 0);
    ASSERT_EQ(sequence["not_carried"].size(), 1U);
    const nlohmann::json& left = sequence["not_carried"][0];
    EXPECT_EQ(left["track"], "V2");
    EXPECT_EQ(left["position"], 25);
    EXPECT_EQ(left["length"], 30);
    EXPECT_EQ(left["kind"], "Sequence");
    EXPECT_EQ(left["source_clips"], 3);
    EXPECT_EQ(left["reason"], "nested sequence");
    EXPECT_EQ(json["totals"],
              nlohmann::json::parse(R"({"source_clips_in_timeline": 4, "source_clips_written": 1,
                                        "source_clips_not_carried": 3})"));
}

TEST_F(ConvertRunTest, AFailedConversionStillWritesItsReportAndQuietPrintsNoSummary) {
    const fs::path report = folder / "report.json";
    ProgramRun run = RunConvert({"-q", "--report", report.string(), input.string(),
                                 (folder / "absent" / "x.xml").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output.find("source clips"), std::string::npos) << run.output;
    const nlohmann::json json = nlohmann::json::parse(ReadFile(report));
    EXPECT_EQ(json["status"], "failed");
    EXPECT_NE(json["error"].get<std::string>().find("x.xml"), std::string::npos) << json;
    // The counts of what was read before saving failed.
    EXPECT_EQ(json["totals"]["source_clips_in_timeline"], 2);
}

TEST_F(ConvertRunTest, AFolderConvertsEveryAafInNameOrderAndOneDamagedFileFailsAlone) {
    const fs::path edits = folder / "edits";
    const fs::path out = folder / "out";
    fs::create_directories(edits / "sub");
    fs::create_directories(out);
    fs::copy_file(input, edits / "b.AAF");
    WriteNestedEdit(edits / "a.aaf", 2);
    std::ofstream(edits / "c.aaf") << "not an AAF file";
    fs::copy_file(input, edits / "sub" / "deeper.aaf");
    std::ofstream(edits / "notes.txt") << "not converted";
    const fs::path report = folder / "batch.json";

    ProgramRun run =
        RunConvert({"--output-dir", out.string(), "--report", report.string(), edits.string()});
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("2 of 3 inputs converted"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(out / "a.xml"));
    EXPECT_TRUE(fs::exists(out / "b.xml"));
    EXPECT_FALSE(fs::exists(out / "c.xml"));
    EXPECT_FALSE(fs::exists(out / "deeper.xml"));

    const nlohmann::json json = nlohmann::json::parse(ReadFile(report));
    ASSERT_TRUE(json.is_array());
    ASSERT_EQ(json.size(), 3U);
    EXPECT_EQ(fs::path(json[0]["input"].get<std::string>()).filename(), "a.aaf");
    EXPECT_EQ(json[0]["status"], "converted");
    EXPECT_EQ(json[0]["totals"]["source_clips_not_carried"], 2);
    EXPECT_EQ(fs::path(json[1]["input"].get<std::string>()).filename(), "b.AAF");
    EXPECT_EQ(json[1]["output"], (out / "b.xml").string());
    EXPECT_EQ(json[2]["status"], "failed");
    EXPECT_NE(json[2]["error"].get<std::string>().find("c.aaf"), std::string::npos);
}

TEST_F(ConvertRunTest, SeveralInputsConvertBesideThemselvesAndNeverOverEachOther) {
    const fs::path second = folder / "second.aaf";
    fs::copy_file(input, second);
    ProgramRun run = RunConvert({"-q", input.string(), second.string()});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::exists(folder / "edit.xml"));
    EXPECT_TRUE(fs::exists(folder / "second.xml"));

    // The same name from two folders into one output folder: the second is refused.
    const fs::path other = folder / "other";
    fs::create_directories(other);
    fs::copy_file(input, other / "edit.aaf");
    const fs::path out = folder / "out";
    fs::create_directories(out);
    ProgramRun clash = RunConvert(
        {"-q", "--output-dir", out.string(), input.string(), (other / "edit.aaf").string()});
    EXPECT_EQ(clash.exitCode, 1);
    EXPECT_NE(clash.output.find("would replace"), std::string::npos) << clash.output;

    // A document name among several inputs is a mistake, not an input.
    EXPECT_EQ(RunConvert({input.string(), second.string(), "out.xml"}).exitCode, 2);
}

}  // namespace
