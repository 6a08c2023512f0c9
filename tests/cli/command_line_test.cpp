#include "cli/command_line.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/console_log.h"

namespace {

TEST(DefaultOutputPath, ReplacesTheFileNamesExtension) {
    EXPECT_EQ(DefaultOutputPath("/edits/cut.aaf"), "/edits/cut.xml");
    EXPECT_EQ(DefaultOutputPath("cut.final.AAF"), "cut.final.xml");
    EXPECT_EQ(DefaultOutputPath("cut"), "cut.xml");
}

TEST(DefaultOutputPath, IgnoresDotsInFolderNames) {
    EXPECT_EQ(DefaultOutputPath("/edits/v1.2/cut"), "/edits/v1.2/cut.xml");
    EXPECT_EQ(DefaultOutputPath("./cut"), "./cut.xml");
}

TEST(ParseCommandLine, InputAloneGetsTheDefaultOutputAndRenaming) {
    CommandLine line = ParseCommandLine({"edit.aaf"});
    ASSERT_EQ(line.usageError, "");
    EXPECT_EQ(line.request.inputPath, "edit.aaf");
    EXPECT_EQ(line.request.outputPath, "edit.xml");
    EXPECT_TRUE(line.request.renameAviToMov);
    EXPECT_FALSE(line.request.portable);
    EXPECT_EQ(line.verbosity, Verbosity::kNormal);
    EXPECT_TRUE(line.logPath.empty());
}

TEST(ParseCommandLine, ReadsEveryOptionInBothSpellings) {
    CommandLine line = ParseCommandLine({"--no-rename", "-v", "--log", "run.log", "--titles", "/a",
                                         "--portable", "--titles=/b", "in.aaf", "out.xml"});
    ASSERT_EQ(line.usageError, "");
    EXPECT_FALSE(line.request.renameAviToMov);
    EXPECT_TRUE(line.request.portable);
    EXPECT_EQ(line.verbosity, Verbosity::kVerbose);
    EXPECT_EQ(line.logPath, "run.log");
    EXPECT_EQ(line.request.titleFolders, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(line.request.outputPath, "out.xml");

    EXPECT_EQ(ParseCommandLine({"--log=x.log", "-q", "in.aaf"}).verbosity, Verbosity::kQuiet);
    EXPECT_EQ(ParseCommandLine({"--", "-in.aaf"}).request.inputPath, "-in.aaf");
}

TEST(ParseCommandLine, RejectsUnusableArguments) {
    EXPECT_NE(ParseCommandLine({}).usageError, "");
    EXPECT_NE(ParseCommandLine({"a.aaf", "b.xml", "c.xml"}).usageError, "");
    EXPECT_NE(ParseCommandLine({"--frobnicate", "a.aaf"}).usageError, "");
    EXPECT_NE(ParseCommandLine({"a.aaf", "--log"}).usageError, "");
    EXPECT_NE(ParseCommandLine({"a.aaf", "--log", "a.xml"}).usageError, "");
    EXPECT_NE(ParseCommandLine({"--portable=yes", "a.aaf"}).usageError, "");
}

TEST(ParseCommandLine, SecondAafFilesOrAnOutputFolderMakeABatch) {
    CommandLine pair = ParseCommandLine({"a.aaf", "B.AAF"});
    ASSERT_EQ(pair.usageError, "");
    EXPECT_TRUE(pair.batch);
    EXPECT_EQ(pair.inputs, (std::vector<std::string>{"a.aaf", "B.AAF"}));

    CommandLine single = ParseCommandLine({"--report=r.json", "a.aaf", "cut.xml"});
    EXPECT_FALSE(single.batch);
    EXPECT_EQ(single.reportPath, "r.json");
    EXPECT_EQ(single.request.outputPath, "cut.xml");

    CommandLine three = ParseCommandLine({"a.aaf", "b.aaf", "c.aaf"});
    EXPECT_TRUE(three.batch);
    EXPECT_EQ(three.inputs.size(), 3U);
    EXPECT_NE(ParseCommandLine({"--output-dir", "/no/such/folder", "a.aaf"}).usageError, "");
    EXPECT_NE(ParseCommandLine({"--report", "a.xml", "a.aaf"}).usageError, "");
    EXPECT_NE(ParseCommandLine({"--report", "x", "--log", "x", "a.aaf"}).usageError, "");

    CommandLine planned = ParseCommandLine({"/edits/a.aaf", "/cuts/b.aaf"});
    const std::vector<PlannedConversion> plans = PlanConversions(planned);
    ASSERT_EQ(plans.size(), 2U);
    EXPECT_EQ(plans[0].outputPath, "/edits/a.xml");
    EXPECT_EQ(plans[1].outputPath, "/cuts/b.xml");
    EXPECT_EQ(plans[1].problem, "");
}

TEST(ParseCommandLine, HelpAndVersionNeedNoInput) {
    EXPECT_TRUE(ParseCommandLine({"--help"}).showHelp);
    EXPECT_TRUE(ParseCommandLine({"-h"}).showHelp);
    EXPECT_TRUE(ParseCommandLine({"--version"}).showVersion);
    EXPECT_EQ(ParseCommandLine({"--version"}).usageError, "");
}

TEST(ConsoleLog, PrintsWhatItsVerbosityAsksForAndKeepsEverything) {
    const std::vector<std::pair<int, std::string>> lines = {
        {kLogMilestone, "Start of Convertion...\r\n"},
        {kLogProgress, "Processing Track #0\r\n"},
        {kLogWarning, "Found more than one title text in t.etl\r\n"},
        {kLogError, "Cannot open x.aaf: The file was not found.\r\n"},
    };
    auto run = [&](Verbosity verbosity, std::string& text) {
        std::ostringstream out;
        ConsoleLog log(verbosity, out);
        for (const auto& [kind, line] : lines) {
            log.TakeLogLine(kind, line);
        }
        text = log.Text();
        return out.str();
    };
    std::string text;
    EXPECT_EQ(run(Verbosity::kQuiet, text), "Cannot open x.aaf: The file was not found.\n");
    EXPECT_EQ(run(Verbosity::kNormal, text),
              "Start of Convertion...\nFound more than one title text in t.etl\n"
              "Cannot open x.aaf: The file was not found.\n");
    EXPECT_EQ(run(Verbosity::kVerbose, text),
              "Start of Convertion...\nProcessing Track #0\nFound more than one title text in "
              "t.etl\nCannot open x.aaf: The file was not found.\n");
    EXPECT_EQ(text, lines[0].second + lines[1].second + lines[2].second + lines[3].second);
}

}  // namespace
