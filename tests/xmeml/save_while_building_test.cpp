#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <pugixml.hpp>

#include "strict_xml.h"
#include "xmeml/xml_document.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Two sequences shaped like the interchange document, a track left without items, text and an
// attribute that need escaping.
void Fill(FCXmlDocument& xml) {
    const XmlElement root = xml.GetRoot();
    xml.SetAttribute(root, "note", "a\"<&>\tb");
    const XmlElement options = xml.AddElement(root, "importoptions");
    xml.AddTextElement(options, "createnewproject", "FALSE");
    for (int s = 0; s < 2; ++s) {
        const XmlElement sequence = xml.AddElement(root, "sequence");
        xml.AddTextElement(sequence, "name", "Cut & <Paste> " + std::to_string(s));
        const XmlElement media = xml.AddElement(sequence, "media");
        for (const char* kind : {"video", "audio"}) {
            const XmlElement container = xml.AddElement(media, kind);
            xml.AddElement(container, "outputs");
            for (int t = 0; t < 2; ++t) {
                const XmlElement track = xml.AddElement(container, "track");
                if (t == 0) {
                    xml.AddTextElement(track, "enabled", "TRUE");
                }
                for (int c = 0; c < (t == 0 ? 3 : 0); ++c) {
                    const XmlElement item = xml.AddElement(track, "clipitem");
                    xml.AddIntegerElement(item, "start", c * 100);
                    xml.AddTextElement(item, "empty", "");
                    xml.AddTextElement(item, "name", "a<b");
                    if (c == 1) {
                        xml.AddTextElement(track, "transitionitem", "x");
                    }
                }
            }
        }
        xml.AddTextElement(sequence, "after", "tracks");
    }
    xml.AddTextElement(root, "last", "");
}

class SaveWhileBuildingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tessel-stream-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        xml_.Create();
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The document Fill makes, serialised whole.
    static std::string Whole() {
        FCXmlDocument whole;
        whole.Create();
        Fill(whole);
        return whole.ToString();
    }

    fs::path folder_;
    FCXmlDocument xml_;
};

TEST_F(SaveWhileBuildingTest, WritesTheSameBytesAsSavingTheWholeDocument) {
    const fs::path out = folder_ / "out.xml";
    const SaveStatus status = xml_.SaveWhileBuilding(out.string(), [&] { Fill(xml_); });
    ASSERT_TRUE(status.ok) << status.message;
    EXPECT_EQ(Read(out), Whole());
    // What was written has left the document.
    EXPECT_EQ(xml_.ToString(), "");
}

TEST_F(SaveWhileBuildingTest, TheDocumentIsWellFormedAndInOrder) {
    EXPECT_EQ(tessel::test::StrictXmlErrorsInText(Whole()), "");
    pugi::xml_document parsed;
    ASSERT_TRUE(parsed.load_string(Whole().c_str()));
    // Two sequences, two kinds, three items on the first track of each, in order.
    const pugi::xpath_node_set items = parsed.select_nodes("//track/clipitem/start");
    ASSERT_EQ(items.size(), 12u);
    EXPECT_STREQ(items[2].node().text().get(), "200");
    EXPECT_EQ(parsed.select_nodes("//track/transitionitem").size(), 4u);
    EXPECT_STREQ(parsed.document_element().attribute("note").value(), "a\"<&>\tb");
}

TEST_F(SaveWhileBuildingTest, AFailingBuildLeavesTheOldFileAndCanBeFollowedByASave) {
    const fs::path out = folder_ / "out.xml";
    std::ofstream(out) << "old content";
    EXPECT_THROW(xml_.SaveWhileBuilding(out.string(),
                                        [&] {
                                            Fill(xml_);
                                            throw std::runtime_error("out of memory");
                                        }),
                 std::runtime_error);
    EXPECT_EQ(Read(out), "old content");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 1);

    FCXmlDocument again;
    again.Create();
    ASSERT_TRUE(again.SaveWhileBuilding(out.string(), [&] { Fill(again); }).ok);
    EXPECT_EQ(Read(out), Whole());
}

}  // namespace
