// Every problem with a title document, and with the folders named for them, is reported in its
// own words; none stops the conversion of the rest nor makes it wait.

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

TEST_F(TitleMessagesTest, AMissingDocumentIsNamed) {
    const ProgramRun run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Title document opening.etl not found"));
    EXPECT_THAT(Document(), HasSubstr("Dummy"));
}

TEST_F(TitleMessagesTest, ADocumentThatIsNotXmlSaysWhereItBreaks) {
    WriteText(folder / "opening.etl", "<TitleDocument><m_TitleObList>");
    const ProgramRun run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Title document opening.etl cannot be read: "));
    EXPECT_THAT(run.output, HasSubstr("at offset"));
}

TEST_F(TitleMessagesTest, ADocumentWithoutTextSaysSo) {
    WriteText(folder / "opening.etl", "<TitleDocument><m_TitleObList/></TitleDocument>");
    const ProgramRun run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Title document opening.etl holds no title text"));
}

TEST_F(TitleMessagesTest, SomethingOtherThanAFileIsNotReadNorWaitedFor) {
    // A folder of that name, and a named pipe that no one writes to.
    fs::create_directory(folder / "opening.etl");
    ProgramRun run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Title document opening.etl cannot be read: not a file"));
    fs::remove(folder / "opening.etl");
    ASSERT_EQ(::mkfifo((folder / "opening.etl").c_str(), 0600), 0);
    run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Title document opening.etl cannot be read: not a file"));
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
