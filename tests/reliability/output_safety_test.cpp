// The output is written whole or not at all, never over the input, and the input is never
// changed: tessel-convert run as a user runs it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "program_run.h"
#include "scratch_folder.h"

namespace tessel::reliability {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class OutputSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        input = folder / "edit.aaf";
        WriteBytes(input, SmallEdit());
    }

    ProgramRun Convert(const std::vector<std::string>& arguments, ProgramOptions options = {}) {
        if (options.workingFolder.empty()) {
            options.workingFolder = folder.path().string();
        }
        ProgramRun run = RunProgram(TESSEL_CONVERT, arguments, options);
        EXPECT_EQ(run.signal, 0) << run.output;
        return run;
    }

    ScratchFolder folder;
    fs::path input;
};

const std::string kOldDocument = "<?xml version=\"1.0\"?><xmeml version=\"4\"/>\n";

TEST_F(OutputSafetyTest, ASuccessLeavesTheDocumentAndNothingElse) {
    const FileState before = StateOf(input);
    const ProgramRun run = Convert({"-q", "edit.aaf", "edit.xml"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(folder.Names(), ElementsAre("edit.aaf", "edit.xml"));
    EXPECT_EQ(StateOf(input), before);
}

TEST_F(OutputSafetyTest, AFailedConversionKeepsTheOldDocumentAndTheInput) {
    std::vector<std::uint8_t> damaged = ReadBytes(input);
    damaged.resize(damaged.size() / 2);
    WriteBytes(input, damaged);
    WriteText(folder / "edit.xml", kOldDocument);
    const FileState inputBefore = StateOf(input);
    const FileState outputBefore = StateOf(folder / "edit.xml");

    const ProgramRun run = Convert({"edit.aaf", "edit.xml"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("Cannot open edit.aaf: "));
    EXPECT_EQ(StateOf(folder / "edit.xml"), outputBefore);
    EXPECT_EQ(StateOf(input), inputBefore);
    EXPECT_THAT(folder.Names(), ElementsAre("edit.aaf", "edit.xml"));
}

TEST_F(OutputSafetyTest, AWriteCutShortKeepsTheOldDocumentAndLeavesNoPart) {
    // Files may not grow past 600 bytes: the document cannot be written whole (as on a full disk).
    WriteText(folder / "edit.xml", kOldDocument);
    const FileState before = StateOf(folder / "edit.xml");
    const ProgramRun run =
        Convert({"edit.aaf", "edit.xml"}, {.workingFolder = {}, .fileSizeLimit = 600});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("edit.xml"));
    EXPECT_THAT(run.output, HasSubstr(std::strerror(EFBIG)));
    EXPECT_THAT(run.output, ::testing::Not(HasSubstr("Finished!")));
    EXPECT_EQ(StateOf(folder / "edit.xml"), before);
    EXPECT_THAT(folder.Names(), ElementsAre("edit.aaf", "edit.xml"));
}

TEST_F(OutputSafetyTest, AFolderWhereTheDocumentShouldGoIsLeftAlone) {
    fs::create_directory(folder / "edit.xml");
    WriteText(folder / "edit.xml" / "keep.txt", "keep");
    const ProgramRun run = Convert({"edit.aaf", "edit.xml"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("Cannot save \"edit.xml\""));
    EXPECT_THAT(run.output, HasSubstr("folder"));
    EXPECT_EQ(ReadBytes(folder / "edit.xml" / "keep.txt"),
              std::vector<std::uint8_t>({'k', 'e', 'e', 'p'}));
    EXPECT_THAT(folder.Names(), ElementsAre("edit.aaf", "edit.xml"));
}

TEST_F(OutputSafetyTest, AnOutputFolderThatCannotBeWrittenSaysSo) {
    fs::path target;
    if (PermissionsAreIgnored()) {
        // The superuser writes anywhere permissions allow nothing; /sys refuses even it.
        target = "/sys/tessel-output.xml";
    } else {
        fs::create_directory(folder / "locked");
        fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        target = folder / "locked" / "edit.xml";
    }
    const ProgramRun run = Convert({"edit.aaf", target.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("Cannot save \"" + target.string() + "\""));
    EXPECT_THAT(run.output, HasSubstr("cannot create a file in the folder \"" +
                                      target.parent_path().string() + "\""));
    EXPECT_THAT(run.output, HasSubstr(std::strerror(EACCES)));
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(OutputSafetyTest, AMissingOutputFolderSaysSo) {
    const ProgramRun run = Convert({"edit.aaf", "missing/edit.xml"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("cannot create a file in the folder \"missing\""));
    EXPECT_THAT(run.output, HasSubstr(std::strerror(ENOENT)));
    EXPECT_THAT(folder.Names(), ElementsAre("edit.aaf"));
}

TEST_F(OutputSafetyTest, TheInputIsReadOnlyAndUnchanged) {
    fs::permissions(input, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const FileState before = StateOf(input);
    const ProgramRun run = Convert({"-q", "edit.aaf", "edit.xml"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(StateOf(input), before);
}

TEST_F(OutputSafetyTest, TheInputIsNeverTheOutputWhateverItsSpelling) {
    fs::create_directory(folder / "sub");
    fs::create_symlink("edit.aaf", folder / "link.xml");
    fs::create_hard_link(input, folder / "hard.xml");
    const FileState before = StateOf(input);
    const std::vector<std::string> spellings = {"edit.aaf",        "./edit.aaf",
                                                "sub/../edit.aaf", (folder / "edit.aaf").string(),
                                                "link.xml",        "hard.xml"};
    for (const std::string& spelling : spellings) {
        SCOPED_TRACE(spelling);
        const ProgramRun run = Convert({"edit.aaf", spelling});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(run.output, HasSubstr("Cannot save to " + spelling +
                                          ": it is the AAF file being converted."));
        EXPECT_EQ(StateOf(input), before);
    }
    EXPECT_THAT(folder.Names(), ElementsAre("edit.aaf", "hard.xml", "link.xml", "sub"));
}

TEST_F(OutputSafetyTest, AnInputNamedLikeItsDefaultOutputIsNotOverwritten) {
    fs::rename(input, folder / "edit.xml");
    const FileState before = StateOf(folder / "edit.xml");
    const ProgramRun run = Convert({"edit.xml"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output, HasSubstr("it is the AAF file being converted"));
    EXPECT_EQ(StateOf(folder / "edit.xml"), before);
}

}  // namespace
}  // namespace tessel::reliability
