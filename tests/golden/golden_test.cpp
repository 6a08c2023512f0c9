// Whole conversions of the shared fixtures by tessel-convert, compared with their expected
// documents and logs. The expected files are regenerated outside this project (see
// aaf-synthetic/README.md); when a difference is intended, the fixture's expected files are what
// has to change.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell_command.h"
#include "strict_xml.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSharedDir = TESSEL_SHARED_DIR;
const fs::path kSyntheticDir = kSharedDir / "aaf-synthetic";
const fs::path kDtd = kSharedDir / "xmeml" / "xmeml-v4.dtd";
const fs::path kXmlDiff = kSharedDir / "tools" / "xmldiff.py";
constexpr std::string_view kSavingLine = "Saving Interchange Format to file ";

struct GoldenCase {
    std::string name;  // the test's name
    std::string stem;  // the fixture's name: STEM.aaf
    bool rename;
    std::string expected;  // STEM.expected or STEM.norename.expected
};

void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<GoldenCase> SyntheticCases() {
    std::vector<GoldenCase> cases;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kSyntheticDir, error)) {
        if (entry.path().extension() != ".aaf") {
            continue;
        }
        const std::string stem = entry.path().stem().string();
        cases.push_back({stem, stem, true, stem + ".expected"});
        if (fs::exists(kSyntheticDir / (stem + ".norename.expected.xml"))) {
            cases.push_back({stem + "_norename", stem, false, stem + ".norename.expected"});
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const GoldenCase& a, const GoldenCase& b) { return a.name < b.name; });
    return cases;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool HaveTool(const char* tool) {
    return RunCommand(std::string("command -v ") + tool + " >/dev/null").status == 0;
}

// Runs tessel-convert in `workingDir` with its log written to a file; returns its exit status
// and fills `log` with the log text.
int Convert(const fs::path& workingDir, const std::string& input, const fs::path& output,
            bool rename, std::string& log) {
    const fs::path logFile = fs::path(output).replace_extension(".log");
    std::string command = "cd " + Quoted(workingDir) + " && " + Quoted(TESSEL_CONVERT) + " -q";
    if (!rename) {
        command += " --no-rename";
    }
    command += " --log " + Quoted(logFile) + " " + Quoted(input) + " " + Quoted(output);
    const CommandResult result = RunCommand(command);
    log = ReadFile(logFile);
    fs::remove(logFile);
    if (!result.output.empty()) {
        log += "[output] " + result.output;
    }
    return result.status;
}

// The log up to the output path of the saving line, which names a different file here.
std::string WithoutSavedPath(const std::string& log) {
    std::string out;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(kSavingLine, 0) == 0) {
            line = std::string(kSavingLine) + "…\r";
        }
        out += line + "\n";
    }
    return out;
}

fs::path OutputFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("tessel-golden-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

class GoldenTest : public ::testing::TestWithParam<GoldenCase> {
  protected:
    void SetUp() override {
        if (!HaveTool("python3")) {
            GTEST_SKIP() << "python3 is needed to compare documents";
        }
    }
};

TEST_P(GoldenTest, DocumentAndLogMatchTheExpectedOnes) {
    const GoldenCase& c = GetParam();
    const fs::path output = OutputFolder() / (c.name + ".xml");
    std::string log;
    ASSERT_EQ(Convert(kSyntheticDir, c.stem + ".aaf", output, c.rename, log), 0) << log;

    std::string diff = "python3 " + Quoted(kXmlDiff) + " " +
                       Quoted(kSyntheticDir / (c.expected + ".xml")) + " " + Quoted(output);
    if (fs::exists(kSyntheticDir / (c.stem + ".ignore"))) {
        diff += " --ignore-file " + Quoted(kSyntheticDir / (c.stem + ".ignore"));
    }
    const CommandResult compared = RunCommand(diff);
    EXPECT_EQ(compared.status, 0) << compared.output;

    EXPECT_EQ(WithoutSavedPath(log),
              WithoutSavedPath(ReadFile(kSyntheticDir / (c.expected + ".log"))));

    EXPECT_EQ(tessel::test::DtdErrors(output.string(), kDtd.string()), "");
    fs::remove(output);
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.name;
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Synthetic, GoldenTest, ::testing::ValuesIn(SyntheticCases()), CaseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenTest);

TEST(Golden, FixturesArePresent) {
    if (!fs::is_directory(kSyntheticDir)) {
        GTEST_SKIP() << kSyntheticDir << " is absent";
    }
    EXPECT_FALSE(SyntheticCases().empty());
}

// Every real sample converts to a well-formed document that the xmeml DTD accepts.
TEST(Golden, RealSamplesGiveValidDocuments) {
    std::vector<fs::path> samples;
    for (const fs::path& folder : {kSharedDir / "aaf-samples", kSharedDir / "aaf" / "samples"}) {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(folder, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() == ".aaf") {
                samples.push_back(it->path());
            }
        }
    }
    if (samples.empty()) {
        GTEST_SKIP() << "no real samples under " << kSharedDir;
    }
    std::sort(samples.begin(), samples.end());
    const fs::path output = OutputFolder() / "sample.xml";
    for (const fs::path& sample : samples) {
        std::string log;
        if (Convert(sample.parent_path(), sample.filename().string(), output, true, log) != 0) {
            // A file the reader cannot open is reported, not converted; nothing is written.
            EXPECT_FALSE(fs::exists(output)) << sample << "\n" << log;
            EXPECT_NE(log.find("Cannot open"), std::string::npos) << sample << "\n" << log;
            continue;
        }
        EXPECT_EQ(tessel::test::DtdErrors(output.string(), kDtd.string()), "") << sample;
    }
    fs::remove(output);
}

}  // namespace
