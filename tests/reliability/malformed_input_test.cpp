// Damaged, empty, random and foreign inputs through the whole conversion: each either converts
// to a well-formed document or ends with one clear error line, never with a crash, and never
// leaves an output file behind.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "aaf/compound_file_writer.h"
#include "job/conversion_job.h"
#include "model/log.h"
#include "program_run.h"
#include "scratch_folder.h"
#include "strict_xml.h"

namespace tessel::reliability {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class RecordingLog : public LogTarget {
  public:
    void TakeLogLine(int kind, std::string line) override {
        lines.push_back({kind, std::move(line)});
    }
    std::vector<std::pair<int, std::string>> lines;
};

class MalformedInputTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLogTarget(&log); }
    void TearDown() override { SetLogTarget(nullptr); }

    // Converts `bytes` as edit.aaf and checks the outcome either way.
    void ExpectConvertedOrClearlyRefused(const std::vector<std::uint8_t>& bytes) {
        const fs::path input = folder / "edit.aaf";
        const fs::path output = folder / "edit.xml";
        WriteBytes(input, bytes);
        fs::remove(output);
        ExpectConvertedOrClearlyRefused(input.string(), output);
        EXPECT_EQ(ReadBytes(input), bytes) << "the input was changed";
    }

    void ExpectConvertedOrClearlyRefused(const std::string& input, const fs::path& output) {
        log.lines.clear();
        ConversionRequest request;
        request.inputPath = input;
        request.outputPath = output.string();
        Recorder done;
        ConversionThread(request, &done);
        std::vector<std::string> errors;
        for (const auto& [kind, line] : log.lines) {
            if (kind == kLogError) {
                errors.push_back(line);
            }
        }
        if (done.status == ConversionStatus::kSucceeded) {
            EXPECT_TRUE(errors.empty()) << errors.front();
            EXPECT_EQ(tessel::test::StrictXmlErrors(output), "");
            pugi::xml_document document;
            EXPECT_TRUE(document.load_file(output.c_str()));
            EXPECT_TRUE(document.child("xmeml"));
            return;
        }
        EXPECT_FALSE(fs::exists(output));
        ASSERT_EQ(errors.size(), 1u);
        // "Cannot open PATH: " and a reason that says something.
        EXPECT_THAT(errors.front(), StartsWith("Cannot open " + input + ": "));
        EXPECT_GT(errors.front().size(), ("Cannot open " + input + ": \r\n").size() + 10)
            << errors.front();
    }

    struct Recorder : ConversionClient {
        void PostConversionDone(ConversionStatus result) override { status = result; }
        ConversionStatus status = ConversionStatus::kAborted;
    };

    ScratchFolder folder;
    RecordingLog log;
};

TEST_F(MalformedInputTest, EmptyRandomAndForeignFilesAreRefused) {
    ExpectConvertedOrClearlyRefused({});
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(70000);
    for (auto& byte : noise) {
        byte = static_cast<std::uint8_t>(random());
    }
    ExpectConvertedOrClearlyRefused(noise);
    const std::string text = "This is not an AAF file.\n";
    ExpectConvertedOrClearlyRefused(std::vector<std::uint8_t>(text.begin(), text.end()));
    // A compound file, but a word document's rather than an AAF file's.
    cfb::CompoundFileWriter writer;
    writer.AddStream(cfb::CompoundFileWriter::kRootId, "WordDocument",
                     std::vector<std::uint8_t>(5000, 1));
    ExpectConvertedOrClearlyRefused(writer.ToBytes());
}

TEST_F(MalformedInputTest, TruncatedCopiesAreRefused) {
    const std::vector<std::uint8_t> edit = SmallEdit();
    for (std::size_t length : {std::size_t{1}, std::size_t{8}, std::size_t{511}, std::size_t{512},
                               std::size_t{513}, std::size_t{4096}}) {
        SCOPED_TRACE(length);
        ExpectConvertedOrClearlyRefused(
            {edit.begin(), edit.begin() + static_cast<std::ptrdiff_t>(length)});
    }
    for (std::size_t step = 1; step < 40; ++step) {
        const std::size_t length = edit.size() * step / 40;
        SCOPED_TRACE(length);
        ExpectConvertedOrClearlyRefused(
            {edit.begin(), edit.begin() + static_cast<std::ptrdiff_t>(length)});
    }
}

TEST_F(MalformedInputTest, BitFlippedCopiesConvertOrAreRefused) {
    const std::vector<std::uint8_t> edit = SmallEdit();
    std::mt19937 random(11);
    for (int round = 0; round < 150; ++round) {
        std::vector<std::uint8_t> damaged = edit;
        // The header and directory hold most of the structure: aim there half of the time.
        const std::size_t span =
            round % 2 == 0 ? std::min<std::size_t>(4096, edit.size()) : edit.size();
        for (int flip = 0; flip < 1 + round % 3; ++flip) {
            damaged[random() % span] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        }
        SCOPED_TRACE(round);
        ExpectConvertedOrClearlyRefused(damaged);
    }
}

TEST_F(MalformedInputTest, PathsThatAreNotFilesAreRefused) {
    ExpectConvertedOrClearlyRefused((folder / "missing.aaf").string(), folder / "a.xml");
    ExpectConvertedOrClearlyRefused(folder.path().string(), folder / "b.xml");
    ExpectConvertedOrClearlyRefused("", folder / "c.xml");
    // Opening a named pipe for reading would wait for a writer that never comes.
    const fs::path pipe = folder / "pipe.aaf";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ExpectConvertedOrClearlyRefused(pipe.string(), folder / "d.xml");
}

TEST(MalformedInputProgram, EveryRefusalIsOneClearLineAndExitStatusOne) {
    ScratchFolder folder;
    std::vector<std::uint8_t> edit = SmallEdit();
    std::vector<std::uint8_t> truncated(
        edit.begin(), edit.begin() + static_cast<std::ptrdiff_t>(edit.size() / 3));
    WriteBytes(folder / "empty.aaf", {});
    WriteBytes(folder / "truncated.aaf", truncated);
    WriteText(folder / "text.aaf", "just text\n");
    struct Case {
        std::string input;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"empty.aaf", "the file is empty"},
        {"truncated.aaf", "damaged or truncated"},
        {"text.aaf", "not a structured-storage (compound) file"},
        {"missing.aaf", "not found"},
        {".", "folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const ProgramRun run = RunProgram(TESSEL_CONVERT, {c.input, "out.xml"},
                                          {.workingFolder = folder.path().string()});
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(run.output, HasSubstr("Cannot open " + c.input + ": "));
        EXPECT_THAT(run.output, HasSubstr(c.reason));
        EXPECT_FALSE(fs::exists(folder / "out.xml"));
    }
}

}  // namespace
}  // namespace tessel::reliability
