// Every sample file opens, and what tessel-aafinfo reports agrees with the sample manifest.

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
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

/// The number that starts at `at` in `text` (0 if none).
int NumberAt(const std::string& text, std::size_t at) {
    int value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
        value = value * 10 + (text[at++] - '0');
    }
    return value;
}

/// The manifest's table: file → counts from its "features" column, e.g.
/// "comp 1 [V1 A2 TC1]; SC 12, Tr 0, OG 18 (speed-ratio OG 0), fill 10; ...".
/// (Plain string handling: std::regex trips GCC 12's warnings in sanitizer builds.)
std::map<std::string, Expected> ReadManifest(const std::filesystem::path& path) {
    std::map<std::string, Expected> manifest;
    std::istringstream lines(ReadWholeFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("| `", 0) != 0) {
            continue;
        }
        const std::string file = line.substr(3, line.find('`', 3) - 3);
        const std::size_t comp = line.find(" comp ");
        const std::size_t open = line.find('[', comp);
        const std::size_t close = line.find(']', open);
        if (comp == std::string::npos || open == std::string::npos || close == std::string::npos) {
            continue;
        }
        Expected expected;
        expected.compositions = NumberAt(line, comp + 6);
        std::istringstream kinds(line.substr(open + 1, close - open - 1));
        for (std::string token; kinds >> token && token[0] != '(';) {
            const std::size_t digit = token.find_first_of("0123456789");
            if (digit != std::string::npos && digit > 0) {
                expected.slotKinds[token.substr(0, digit)] = NumberAt(token, digit);
            }
        }
        const std::pair<const char*, const char*> counts[] = {{" SC ", "SourceClip"},
                                                              {" Tr ", "Transition"},
                                                              {" OG ", "OperationGroup"},
                                                              {" fill ", "Filler"}};
        for (const auto& [key, name] : counts) {
            // The first count is the class's; "speed-ratio OG n" later is a subset.
            const std::size_t at = line.find(key, close);
            if (at != std::string::npos) {
                expected.classes[name] = NumberAt(line, at + std::strlen(key));
            }
        }
        manifest[file] = expected;
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
