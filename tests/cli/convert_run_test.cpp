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
    EXPECT_EQ(run.output, "Start of Convertion...\nFinished!\n");
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
        EXPECT_EQ(run.output, "Start of Convertion...\nFinished!\n");
        EXPECT_NE(ReadFile(output).find("<pathurl>C:\\take.mov</pathurl>"), std::string::npos);
    }
}

}  // namespace
