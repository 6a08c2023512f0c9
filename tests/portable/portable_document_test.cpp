// Whole conversions by tessel-convert with and without --portable: the portable document must
// hold everything the plain one holds, differ only where the portable form says, be what strict
// importers ask for, and come with the same log.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "file_url_decoding.h"
#include "shell_command.h"
#include "strict_xml.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSharedDir = TESSEL_SHARED_DIR;
const fs::path kDtd = kSharedDir / "xmeml" / "xmeml-v4.dtd";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

fs::path ScratchFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("tessel-portable-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

struct Conversion {
    int status = -1;
    std::string log;
    bool written = false;
    pugi::xml_document document;
    bool wellFormed = false;  // by a conforming parser
    bool valid = false;       // against the xmeml DTD
    std::string lintOutput;
};

// Converts in `workingDir` (relative title paths resolve there) to `output`.
void Convert(const fs::path& workingDir, const fs::path& input, const fs::path& output,
             bool portable, Conversion& result) {
    fs::remove(output);
    const fs::path logFile = fs::path(output).replace_extension(".log");
    std::string command = "cd " + Quoted(workingDir) + " && " + Quoted(TESSEL_CONVERT) + " -q";
    if (portable) {
        command += " --portable";
    }
    command += " --log " + Quoted(logFile) + " " + Quoted(input) + " " + Quoted(output);
    const CommandResult run = RunCommand(command);
    result.status = run.status;
    result.log = ReadFile(logFile) + run.output;
    fs::remove(logFile);
    result.written = fs::exists(output);
    if (!result.written) {
        return;
    }
    result.document.load_file(output.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
    // A conforming parser's verdict: pugixml reads much that importers refuse.
    result.lintOutput = tessel::test::StrictXmlErrors(output.string());
    result.wellFormed = result.lintOutput.empty();
    if (fs::exists(kDtd)) {
        result.valid = tessel::test::DtdErrors(output.string(), kDtd.string()).empty();
    }
}

bool IsAbsoluteLocator(const std::string& path) {
    return (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
           (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) != 0 &&
            path[1] == ':');
}

// Separators as "/", repeated ones as one (a network share's leading pair stays).
std::string Normalised(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '/' && i > 1 && out.back() == '/') {
            continue;
        }
        out += path[i];
    }
    return out;
}

// The path a plain document's locator names, for a document converted from `aafFolder`.
std::string LocatorPath(const std::string& locator, const fs::path& aafFolder) {
    if (locator.rfind("file:", 0) == 0) {
        return {};  // a locator that is a URL already: checked for form only
    }
    return Normalised(IsAbsoluteLocator(locator) ? locator : aafFolder.string() + "/" + locator);
}

// Walks the plain and the portable document side by side.
class FormComparison {
  public:
    explicit FormComparison(fs::path aafFolder) : aafFolder_(std::move(aafFolder)) {}

    void Compare(pugi::xml_node plain, pugi::xml_node portable, const std::string& where) {
        if (std::string_view(plain.name()) != portable.name()) {
            Fault(where,
                  std::string("element ") + portable.name() + " in place of " + plain.name());
            return;
        }
        const std::string name = plain.name();
        if (name == "sequence") {
            described_.clear();
        }
        if (name == "file") {
            const bool reference = portable.attribute("id") && !portable.first_child();
            portable = ResolvedFile(plain, portable, where);
            if (!portable) {
                return;
            }
            if (reference) {
                CheckReferredFile(plain, portable, where);
                return;
            }
        }
        CompareAttributes(plain, portable, where);
        if (name == "ntsc" || name == "timebase") {
            CompareText(name, plain.text().get(), portable.text().get(), where);
            return;
        }
        if (name == "track") {
            CheckTrackState(portable, where);
        }

        std::vector<pugi::xml_node> plainChildren;
        for (pugi::xml_node child : plain.children()) {
            // An empty locator: the portable file has no pathurl at all.
            if (name == "file" && std::string_view(child.name()) == "pathurl" &&
                child.text().empty()) {
                if (portable.child("pathurl")) {
                    Fault(where, "a pathurl for media without a locator");
                }
                continue;
            }
            plainChildren.push_back(child);
        }
        std::vector<pugi::xml_node> portableChildren;
        for (pugi::xml_node child : portable.children()) {
            if (!IsAddedElement(plain, child)) {
                portableChildren.push_back(child);
            }
        }
        if (plainChildren.size() != portableChildren.size()) {
            Fault(where, "children differ in number: " + std::to_string(plainChildren.size()) +
                             " plain, " + std::to_string(portableChildren.size()) + " portable");
            return;
        }
        for (size_t i = 0; i < plainChildren.size(); ++i) {
            const pugi::xml_node a = plainChildren[i];
            const pugi::xml_node b = portableChildren[i];
            if (a.type() == pugi::node_pcdata && b.type() == pugi::node_pcdata) {
                CompareText(name, a.value(), b.value(), where);
            } else if (a.type() == pugi::node_element) {
                Compare(a, b, where + "/" + a.name());
            } else if (a.type() != b.type()) {
                Fault(where, "a node of another kind");
            }
        }
    }

    std::vector<std::string> faults;

  private:
    void Fault(const std::string& where, const std::string& what) {
        if (faults.size() < 20) {
            faults.push_back(where + ": " + what);
        }
    }

    // The elements only the portable form writes: track states, and effect types and media
    // types where the plain effect has none.
    static bool IsAddedElement(pugi::xml_node plainParent, pugi::xml_node child) {
        const std::string_view parent = plainParent.name();
        const std::string_view name = child.name();
        if (parent == "track") {
            return name == "enabled" || name == "locked";
        }
        if (parent == "effect") {
            return (name == "effecttype" || name == "mediatype") &&
                   !plainParent.child(child.name());
        }
        return false;
    }

    void CheckTrackState(pugi::xml_node track, const std::string& where) {
        size_t enabled = 0;
        size_t locked = 0;
        for (pugi::xml_node child : track.children()) {
            if (std::string_view(child.name()) == "enabled") {
                ++enabled;
                if (std::string_view(child.text().get()) != "TRUE") {
                    Fault(where, "enabled is not TRUE");
                }
            } else if (std::string_view(child.name()) == "locked") {
                ++locked;
                if (std::string_view(child.text().get()) != "FALSE") {
                    Fault(where, "locked is not FALSE");
                }
            }
        }
        if (enabled != 1 || locked != 1) {
            Fault(where, "a track without exactly one enabled and one locked");
        }
    }

    // Only a file's id is added; every other attribute (the root's version) is the same.
    void CompareAttributes(pugi::xml_node plain, pugi::xml_node portable,
                           const std::string& where) {
        std::string plainAttributes;
        for (pugi::xml_attribute attribute : plain.attributes()) {
            plainAttributes += std::string(attribute.name()) + "=" + attribute.value() + " ";
        }
        std::string portableAttributes;
        for (pugi::xml_attribute attribute : portable.attributes()) {
            if (std::string_view(portable.name()) != "file" ||
                std::string_view(attribute.name()) != "id") {
                portableAttributes += std::string(attribute.name()) + "=" + attribute.value() + " ";
            }
        }
        if (plainAttributes != portableAttributes) {
            Fault(where, "attributes " + portableAttributes + "in place of " + plainAttributes);
        }
    }

    // A reference stands for the description of the file's first use in the sequence, which
    // may come from another kind of item (a video clip describes its audio too): it names the
    // same file and describes at least the media kinds this item's plain file describes.
    void CheckReferredFile(pugi::xml_node plain, pugi::xml_node description,
                           const std::string& where) {
        CompareText("pathurl", plain.child("pathurl").text().get(),
                    description.child("pathurl").text().get(), where + "/pathurl");
        for (pugi::xml_node kind : plain.child("media").children()) {
            if (!description.child("media").child(kind.name())) {
                Fault(where, std::string("the file referred to has no ") + kind.name());
            }
        }
    }

    // The full description of a portable "file" (a reference gives the one it refers to);
    // checks the ids on the way.
    pugi::xml_node ResolvedFile(pugi::xml_node plain, pugi::xml_node portable,
                                const std::string& where) {
        const std::string locator = plain.child("pathurl").text().get();
        const pugi::xml_attribute id = portable.attribute("id");
        if (locator.empty()) {
            if (id) {
                Fault(where, "an id for a file without a locator");
            }
            return portable;
        }
        const std::string idText = id.value();
        if (idText.rfind("file-", 0) != 0 || idText.size() == 5 ||
            idText.find_first_not_of("0123456789", 5) != std::string::npos) {
            Fault(where, "a media file without an id of the form file-N: \"" + idText + "\"");
            return {};
        }
        const std::string url = portable.child("pathurl").text().get();
        if (!portable.first_child()) {
            const auto found = described_.find(idText);
            if (found == described_.end()) {
                Fault(where, idText + " referred to before this sequence describes it");
                return {};
            }
            return found->second;
        }
        if (described_.count(idText) != 0) {
            Fault(where, idText + " described twice in one sequence");
        }
        described_[idText] = portable;
        const auto [known, added] = urlOfId_.emplace(idText, url);
        if (!added && known->second != url) {
            Fault(where, idText + " stands for two files");
        }
        const auto [knownId, addedId] = idOfUrl_.emplace(url, idText);
        if (!addedId && knownId->second != idText) {
            Fault(where, url + " has two ids");
        }
        return portable;
    }

    void CompareText(const std::string& element, const std::string& plain,
                     const std::string& portable, const std::string& where) {
        if (element == "pathurl") {
            const std::string decoded = PathFromFileUrl(portable);
            if (decoded.empty()) {
                Fault(where, "not a file URL: " + portable);
                return;
            }
            const std::string expected = LocatorPath(plain, aafFolder_);
            if (!expected.empty() && Normalised(decoded) != expected) {
                Fault(where, portable + " decodes to " + decoded + ", not " + expected);
            }
            return;
        }
        if ((element == "ntsc" || element == "timebase") && plain.empty()) {
            const bool ok = element == "ntsc"
                                ? (portable == "TRUE" || portable == "FALSE")
                                : (!portable.empty() && portable != "0" &&
                                   portable.find_first_not_of("0123456789") == std::string::npos);
            if (!ok) {
                Fault(where, "an empty rate written as \"" + portable + "\"");
            }
            return;
        }
        if (plain != portable) {
            Fault(where, "\"" + portable + "\" in place of \"" + plain + "\"");
        }
    }

    fs::path aafFolder_;
    std::map<std::string, pugi::xml_node> described_;  // in the current sequence
    std::map<std::string, std::string> urlOfId_;
    std::map<std::string, std::string> idOfUrl_;
};

struct PortableCase {
    std::string name;
    fs::path workingDir;
    fs::path input;
};

void PrintTo(const PortableCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<PortableCase> SharedCases() {
    std::vector<PortableCase> cases;
    const fs::path folders[] = {kSharedDir / "aaf-synthetic", kSharedDir / "aaf-samples",
                                kSharedDir / "aaf" / "samples"};
    for (const fs::path& folder : folders) {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(folder, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().extension() == ".aaf") {
                const std::string name =
                    fs::relative(it->path(), kSharedDir).replace_extension().string();
                cases.push_back({name, it->path().parent_path(), it->path()});
            }
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const PortableCase& a, const PortableCase& b) { return a.name < b.name; });
    return cases;
}

void CheckBothForms(const PortableCase& c) {
    const fs::path output = ScratchFolder() / "document.xml";
    Conversion plain;
    Convert(c.workingDir, c.input, output, false, plain);
    Conversion portable;
    Convert(c.workingDir, c.input, output, true, portable);
    fs::remove(output);

    EXPECT_EQ(portable.status, plain.status) << portable.log;
    EXPECT_EQ(portable.log, plain.log);
    ASSERT_EQ(portable.written, plain.written);
    if (!plain.written) {
        return;
    }
    EXPECT_TRUE(portable.wellFormed) << portable.lintOutput;
    if (plain.valid) {
        EXPECT_TRUE(portable.valid);
    }

    // The shared folder may be reached through "..": the portable form removes dot segments.
    FormComparison comparison(fs::absolute(c.input).parent_path().lexically_normal());
    comparison.Compare(plain.document.document_element(), portable.document.document_element(),
                       "/xmeml");
    for (const std::string& fault : comparison.faults) {
        ADD_FAILURE() << fault;
    }

    // What strict importers ask for, checked on the portable document alone.
    for (const pugi::xpath_node found : portable.document.select_nodes("//effect")) {
        const pugi::xml_node effect = found.node();
        const std::string type = effect.child("effecttype").text().get();
        const std::string mediaType = effect.child("mediatype").text().get();
        const std::string id = effect.child("effectid").text().get();
        if (id == "Text" || std::string_view(effect.parent().name()) == "generatoritem") {
            EXPECT_EQ(type, "generator");
            EXPECT_EQ(mediaType, "video");
        } else if (id == "timeremap") {
            EXPECT_EQ(type, "motion");
        } else if (std::string_view(effect.parent().name()) == "transitionitem") {
            EXPECT_EQ(type, "transition");
            // The media type of the track the transition stands on.
            EXPECT_EQ(mediaType, effect.parent().parent().parent().name());
        }
        EXPECT_FALSE(type.empty()) << id;
        EXPECT_TRUE(mediaType == "video" || mediaType == "audio") << id;
    }
    for (const pugi::xpath_node rate : portable.document.select_nodes("//ntsc | //timebase")) {
        EXPECT_FALSE(rate.node().text().empty()) << rate.node().parent().parent().name();
    }
    for (const pugi::xpath_node url : portable.document.select_nodes("//pathurl")) {
        EXPECT_NE(PathFromFileUrl(url.node().text().get()), "") << url.node().text().get();
    }
}

class SharedFixtures : public ::testing::TestWithParam<PortableCase> {};

TEST_P(SharedFixtures, PortableFormHoldsThePlainOneAndWhatImportersNeed) {
    CheckBothForms(GetParam());
}

std::string CaseName(const ::testing::TestParamInfo<PortableCase>& info) {
    std::string name = info.param.name;
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Shared, SharedFixtures, ::testing::ValuesIn(SharedCases()), CaseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SharedFixtures);

TEST(PortableDocuments, SharedFixturesArePresent) {
    if (SharedCases().empty()) {
        GTEST_SKIP() << "no AAF files under " << kSharedDir;
    }
}

TEST(OwnFixtures, ShippedExample) {
    const fs::path example = fs::path(TESSEL_SOURCE_DIR) / "examples" / "edius_example.aaf";
    CheckBothForms({"example", example.parent_path(), example});
}

TEST(OwnFixtures, RandomEdits) {
    const fs::path folder = ScratchFolder() / "random";
    fs::create_directories(folder);
    for (const int seed : {3, 11, 29}) {
        SCOPED_TRACE(seed);
        const fs::path input = folder / ("edit-" + std::to_string(seed) + ".aaf");
        const CommandResult made =
            RunCommand(Quoted(TESSEL_MKAAF) + " --random " + std::to_string(seed) +
                       " --clips 300 --titles --out " + Quoted(input));
        ASSERT_EQ(made.status, 0) << made.output;
        CheckBothForms({"random", folder, input});
    }
    fs::remove_all(folder);
}

}  // namespace
