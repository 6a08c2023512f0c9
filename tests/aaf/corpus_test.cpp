// Every sample file opens, and what tessel-aafinfo reports agrees with the sample manifest.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "aaf_report.h"
#include "test_files.h"

namespace tessel::aaf::test {
namespace {

using Json = nlohmann::ordered_json;

struct Expected {
    int compositions = 0;
    std::map<std::string, int> slotKinds;  // V, A, TC, EC, DM, SMT, Data
    std::map<std::string, int> classes;    // SourceClip, Transition, OperationGroup, Filler
};

/// The manifest's table: file → counts from its "features" column.
std::map<std::string, Expected> ReadManifest(const std::filesystem::path& path) {
    std::map<std::string, Expected> manifest;
    std::istringstream lines(ReadWholeFile(path));
    const std::regex row(R"(^\| `([^`]+)` \|.*\| ([^|]*comp \d+[^|]*) \|\s*$)");
    const std::regex comp(R"(comp (\d+) \[([^\]]*)\])");
    const std::regex kind(R"(\b([A-Za-z]+)(\d+)\b)");
    const std::regex count(R"(\b(SC|Tr|OG|fill) (\d+))");
    const std::map<std::string, std::string> classNames = {
        {"SC", "SourceClip"}, {"Tr", "Transition"}, {"OG", "OperationGroup"}, {"fill", "Filler"}};
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) {
            continue;
        }
        Expected expected;
        const std::string features = match[2];
        std::smatch compMatch;
        if (std::regex_search(features, compMatch, comp)) {
            expected.compositions = std::stoi(compMatch[1]);
            std::string kinds = compMatch[2];
            kinds = kinds.substr(0, kinds.find('('));
            for (std::sregex_iterator it(kinds.begin(), kinds.end(), kind), end; it != end; ++it) {
                expected.slotKinds[(*it)[1]] = std::stoi((*it)[2]);
            }
        }
        for (std::sregex_iterator it(features.begin(), features.end(), count), end; it != end;
             ++it) {
            // The first count is the class's; "speed-ratio OG n" later is a subset.
            expected.classes.emplace(classNames.at((*it)[1]), std::stoi((*it)[2]));
        }
        manifest[match[1]] = expected;
    }
    return manifest;
}

std::string KindCode(const std::string& kind) {
    static const std::map<std::string, std::string> codes = {{"picture", "V"},
                                                             {"sound", "A"},
                                                             {"timecode", "TC"},
                                                             {"edgecode", "EC"},
                                                             {"descriptive metadata", "DM"},
                                                             {"other (SoundMasterTrack)", "SMT"},
                                                             {"other (DataEssenceTrack)", "Data"}};
    auto found = codes.find(kind);
    return found != codes.end() ? found->second : kind;
}

/// Counts the classes of a component and of everything nested in it.
void CountClasses(const Json& component, std::map<std::string, int>& classes) {
    ++classes[component["class"].get<std::string>()];
    for (const char* key : {"effect", "input", "rendering", "selected"}) {
        if (component.contains(key)) {
            CountClasses(component[key], classes);
        }
    }
    for (const char* key : {"inputs", "components", "slots", "alternates", "choices"}) {
        if (component.contains(key)) {
            for (const Json& child : component[key]) {
                CountClasses(child, classes);
            }
        }
    }
}

TEST(Corpus, EverySampleOpensAndItsReportIsComplete) {
    const auto files = SampleFiles();
    if (files.empty()) {
        GTEST_SKIP() << "shared test data not present";
    }
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const aafinfo::Report report = aafinfo::BuildReport(path.string());
        ASSERT_EQ(report.code, AAFRESULT_SUCCESS) << report.error;
        EXPECT_TRUE(report.json.contains("identification"));
        EXPECT_FALSE(aafinfo::FormatText(report.json).empty());
        for (const Json& composition : report.json["compositions"]) {
            EXPECT_TRUE(composition.contains("mob_id"));
            for (const Json& slot : composition["slots"]) {
                EXPECT_TRUE(slot.contains("slot_id"));
                EXPECT_TRUE(slot.contains("kind"));
            }
        }
    }
}

TEST(Corpus, ReportedCountsMatchTheManifest) {
    const std::filesystem::path shared = SharedDir();
    if (shared.empty() || !std::filesystem::exists(shared / "aaf-samples/MANIFEST.md")) {
        GTEST_SKIP() << "shared test data not present";
    }
    const auto manifest = ReadManifest(shared / "aaf-samples/MANIFEST.md");
    ASSERT_GE(manifest.size(), 50u);
    for (const auto& [file, expected] : manifest) {
        SCOPED_TRACE(file);
        const aafinfo::Report report =
            aafinfo::BuildReport((shared / "aaf-samples" / file).string());
        ASSERT_EQ(report.code, AAFRESULT_SUCCESS) << report.error;
        const Json& compositions = report.json["compositions"];
        EXPECT_EQ(static_cast<int>(compositions.size()), expected.compositions);
        std::map<std::string, int> kinds;
        std::map<std::string, int> classes;
        for (const Json& composition : compositions) {
            for (const Json& slot : composition["slots"]) {
                ++kinds[KindCode(slot["kind"].get<std::string>())];
                for (const Json& component : slot["components"]) {
                    CountClasses(component, classes);
                }
            }
        }
        EXPECT_EQ(kinds, expected.slotKinds);
        for (const auto& [name, count] : expected.classes) {
            EXPECT_EQ(classes[name], count) << name;
        }
    }
}

}  // namespace
}  // namespace tessel::aaf::test
