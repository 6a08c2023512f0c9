// Title documents that cannot be used never stop the conversion nor make it wait; a title folder
// that cannot be searched is an error in its own words.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program_run.h"
#include "scratch_folder.h"

namespace tessel::reliability {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

class TitleMessagesTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteBytes(folder / "edit.aaf", SmallEdit("opening.etl")); }

    ProgramRun Convert(std::vector<std::string> options = {}) {
        options.insert(options.end(), {"edit.aaf", "edit.xml"});
        ProgramRun run =
            RunProgram(TESSEL_CONVERT, options, {.workingFolder = folder.path().string()});
        EXPECT_EQ(run.signal, 0) << run.output;
        return run;
    }

    std::string Document() const {
        const std::vector<std::uint8_t> bytes = ReadBytes(folder / "edit.xml");
        return {bytes.begin(), bytes.end()};
    }

    ScratchFolder folder;
};

TEST_F(TitleMessagesTest, AReadableTitleIsUsedWithoutAWord) {
    WriteText(folder / "opening.etl", TitleDocumentXml("Welcome"));
    const ProgramRun run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, Not(HasSubstr("Title document")));
    EXPECT_THAT(Document(), HasSubstr("Welcome"));
}

// A title whose document is missing, broken, empty or no file at all keeps its default text
// without a word in the log (the behaviour editors' existing logs show), and the conversion
// neither stops nor waits on it.
TEST_F(TitleMessagesTest, UnusableDocumentsKeepTheDefaultsQuietly) {
    const auto expectDefaults = [this](const std::string& what) {
        SCOPED_TRACE(what);
        const ProgramRun run = Convert();
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_THAT(run.output, Not(HasSubstr("opening.etl")));
        EXPECT_THAT(Document(), HasSubstr("Dummy"));
    };
    expectDefaults("missing");
    WriteText(folder / "opening.etl", "<TitleDocument><m_TitleObList>");
    expectDefaults("not well-formed");
    WriteText(folder / "opening.etl", "<TitleDocument><m_TitleObList/></TitleDocument>");
    expectDefaults("no text object");
    fs::remove(folder / "opening.etl");
    fs::create_directory(folder / "opening.etl");
    expectDefaults("a folder");
    fs::remove(folder / "opening.etl");
    ASSERT_EQ(::mkfifo((folder / "opening.etl").c_str(), 0600), 0);
    expectDefaults("a pipe no one writes to");
}

TEST_F(TitleMessagesTest, ATitleFolderThatIsNotThereIsAnError) {
    ProgramRun run = Convert({"--titles", "no-such-folder"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.output, HasSubstr("title folder no-such-folder does not exist"));
    EXPECT_FALSE(fs::exists(folder / "edit.xml"));
    WriteText(folder / "file.txt", "");
    run = Convert({"--titles", "file.txt"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.output, HasSubstr("title folder file.txt is not a folder"));
}

TEST_F(TitleMessagesTest, ATitleFolderIsSearched) {
    fs::create_directory(folder / "titles");
    WriteText(folder / "titles" / "opening.etl", TitleDocumentXml("From the folder"));
    const ProgramRun run = Convert({"--titles", "titles"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, Not(HasSubstr("Title document")));
    EXPECT_THAT(Document(), HasSubstr("From the folder"));
}

}  // namespace
}  // namespace tessel::reliability
