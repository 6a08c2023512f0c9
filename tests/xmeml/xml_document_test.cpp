#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "strict_xml.h"
#include "xmeml/xml_document.h"

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

TEST(FCXmlDocument, SkeletonIsTheDeclarationAndAnEmptyVersionedRoot) {
    FCXmlDocument xml;
    ASSERT_TRUE(xml.Create());
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) + "<xmeml version=\"4\"/>\n");
    EXPECT_STREQ(xml.GetRoot().name(), "xmeml");
}

TEST(FCXmlDocument, CreateTwiceStartsOver) {
    FCXmlDocument xml;
    xml.Create();
    xml.AddElement(xml.GetRoot(), "sequence");
    xml.Create();
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) + "<xmeml version=\"4\"/>\n");
}

TEST(FCXmlDocument, ElementsFollowEachOtherWithoutWhitespace) {
    FCXmlDocument xml;
    xml.Create();
    pugi::xml_node rate = xml.AddElement(xml.GetRoot(), "rate");
    xml.AddTextElement(rate, "ntsc", "FALSE");
    xml.AddIntegerElement(rate, "timebase", 25);
    xml.AddTextElement(xml.GetRoot(), "name", "");
    xml.AddIntegerElement(xml.GetRoot(), "duration", INT64_MIN);
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) +
                                  "<xmeml version=\"4\"><rate><ntsc>FALSE</ntsc><timebase>25"
                                  "</timebase></rate><name/><duration>-9223372036854775808"
                                  "</duration></xmeml>\n");
}

TEST(FCXmlDocument, AddParameterWritesNameBeforeId) {
    FCXmlDocument xml;
    xml.Create();
    pugi::xml_node parameter = xml.AddParameter(xml.GetRoot(), "reverse", "Reverse", "FALSE");
    EXPECT_STREQ(parameter.name(), "parameter");
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) +
                                  "<xmeml version=\"4\"><parameter><name>Reverse</name>"
                                  "<parameterid>reverse</parameterid><value>FALSE</value>"
                                  "</parameter></xmeml>\n");
}

TEST(FCXmlDocument, EscapesTextAndKeepsItReadable) {
    const std::string name = "Tom & Jerry <1> \"quoted\" 'single' Grüße\nline";
    FCXmlDocument xml;
    xml.Create();
    xml.AddTextElement(xml.GetRoot(), "name", name);
    const std::string text = xml.ToString();
    EXPECT_NE(text.find("Tom &amp; Jerry &lt;1&gt;"), std::string::npos);
    EXPECT_NE(text.find("Grüße"), std::string::npos);  // UTF-8 as it stands

    EXPECT_EQ(tessel::test::StrictXmlErrorsInText(text), "");
    pugi::xml_document back;
    ASSERT_TRUE(back.load_string(text.c_str()));
    EXPECT_EQ(GetTextAt(back.document_element(), "./name"), name);
}

TEST(SelectElement, FollowsRelativePaths) {
    FCXmlDocument xml;
    xml.Create();
    pugi::xml_node clipitem = xml.AddElement(xml.GetRoot(), "clipitem");
    pugi::xml_node file = xml.AddElement(clipitem, "file");
    pugi::xml_node media = xml.AddElement(file, "media");
    pugi::xml_node firstAudio = xml.AddElement(media, "audio");
    xml.AddElement(media, "audio");

    EXPECT_EQ(SelectElement(media, "../.."), clipitem);
    EXPECT_EQ(SelectElement(media, "./audio"), firstAudio);
    EXPECT_EQ(SelectElement(clipitem, "file/media"), media);
    EXPECT_EQ(SelectElement(media, "."), media);
    EXPECT_FALSE(SelectElement(media, "./video"));
    // The parent of the root is the document, which is not an element.
    EXPECT_FALSE(SelectElement(xml.GetRoot(), ".."));
}

TEST(SelectElement, RejectsAMissingNode) {
    EXPECT_THROW(SelectElement(pugi::xml_node(), "./media"), std::invalid_argument);
    EXPECT_THROW(GetTextAt(pugi::xml_node(), "./media"), std::invalid_argument);
    pugi::xml_document document;
    EXPECT_THROW(GetTextAt(document, "./media"), std::invalid_argument);
}

TEST(GetTextAt, ReadsTheWholeTextContentUntrimmed) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        "<a><b>  one <i>two</i><![CDATA[ <three> ]]></b><c/><d>x</d><d>y</d></a>",
        pugi::parse_default | pugi::parse_ws_pcdata));
    const pugi::xml_node a = document.document_element();
    EXPECT_EQ(GetTextAt(a, "b"), "  one two <three> ");
    EXPECT_EQ(GetTextAt(a, "c"), "");
    EXPECT_EQ(GetTextAt(a, "missing/path"), "");
    EXPECT_EQ(GetTextAt(a, "d"), "x");  // the first match
}

TEST(SetText, ReplacesTheContent) {
    FCXmlDocument xml;
    xml.Create();
    pugi::xml_node name = xml.AddTextElement(xml.GetRoot(), "name", "old");
    xml.AddElement(name, "child");
    EXPECT_TRUE(SetText(name, "new & <improved>"));
    EXPECT_EQ(GetTextAt(xml.GetRoot(), "name"), "new & <improved>");
    EXPECT_FALSE(name.child("child"));
    EXPECT_TRUE(SetText(name, ""));
    EXPECT_FALSE(name.first_child());
}

}  // namespace
