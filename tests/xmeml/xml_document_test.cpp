#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include <pugixml.hpp>

#include "strict_xml.h"
#include "titles/xml_query.h"
#include "xmeml/xml_document.h"
#include "xmeml/xml_text.h"

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

TEST(FCXmlDocument, SkeletonIsTheDeclarationAndAnEmptyVersionedRoot) {
    FCXmlDocument xml;
    ASSERT_TRUE(xml.Create());
    EXPECT_TRUE(xml.GetRoot());
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) + "<xmeml version=\"4\"/>\n");
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
    XmlElement rate = xml.AddElement(xml.GetRoot(), "rate");
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
    XmlElement parameter = xml.AddParameter(xml.GetRoot(), "reverse", "Reverse", "FALSE");
    xml.AddTextElement(parameter, "valuemin", "-1");
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) +
                                  "<xmeml version=\"4\"><parameter><name>Reverse</name>"
                                  "<parameterid>reverse</parameterid><value>FALSE</value>"
                                  "<valuemin>-1</valuemin></parameter></xmeml>\n");
}

TEST(FCXmlDocument, EscapesTextAndKeepsItReadable) {
    const std::string name = "Tom & Jerry <1> \"quoted\" 'single' Grüße\nline\ttab";
    FCXmlDocument xml;
    xml.Create();
    xml.AddTextElement(xml.GetRoot(), "name", name);
    const std::string text = xml.ToString();
    EXPECT_NE(text.find("Tom &amp; Jerry &lt;1&gt; \"quoted\" 'single'"), std::string::npos);
    EXPECT_NE(text.find("Grüße"), std::string::npos);  // UTF-8 as it stands

    EXPECT_EQ(tessel::test::StrictXmlErrorsInText(text), "");
    pugi::xml_document back;
    ASSERT_TRUE(back.load_string(text.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    EXPECT_EQ(GetTextAt(back.document_element(), "./name"), name);
}

// The writer escapes as pugixml printed the documents before it, byte for byte, for every byte
// value in text and in attribute values (what XML 1.0 cannot carry is left out by both).
TEST(FCXmlDocument, EscapesEveryByteAsThePugixmlPrinterDid) {
    for (int c = 1; c < 256; ++c) {
        const std::string value = std::string("a") + static_cast<char>(c) + "b";
        FCXmlDocument xml;
        xml.Create();
        ASSERT_TRUE(xml.SetAttribute(xml.GetRoot(), "note", value));
        xml.AddTextElement(xml.GetRoot(), "t", value);

        pugi::xml_document reference;
        pugi::xml_node root = reference.append_child("xmeml");
        root.append_attribute("version").set_value("4");
        const std::string kept = XmlText(value);
        root.append_attribute("note").set_value(kept.c_str());
        root.append_child("t").append_child(pugi::node_pcdata).set_value(kept.c_str());
        std::ostringstream printed;
        printed << kDeclaration;
        root.print(printed, "", pugi::format_raw, pugi::encoding_utf8);
        printed << '\n';
        EXPECT_EQ(xml.ToString(), printed.str()) << "byte " << c;
    }
}

TEST(FCXmlDocument, TextThatIsAllLeftOutLeavesAnEmptyElement) {
    FCXmlDocument xml;
    xml.Create();
    xml.AddTextElement(xml.GetRoot(), "name", std::string("\x01\0\x1f", 3));
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) + "<xmeml version=\"4\"><name/></xmeml>\n");
}

// An element is open until something is added outside it; adding to it afterwards would put
// the new element in the wrong place, and is refused.
TEST(FCXmlDocument, RefusesToAddToAnElementAlreadyWritten) {
    FCXmlDocument xml;
    xml.Create();
    const XmlElement first = xml.AddElement(xml.GetRoot(), "first");
    const XmlElement inner = xml.AddElement(first, "inner");
    const XmlElement leaf = xml.AddTextElement(inner, "leaf", "x");
    EXPECT_THROW(xml.AddElement(leaf, "child"), std::logic_error);
    xml.AddElement(xml.GetRoot(), "second");
    EXPECT_THROW(xml.AddElement(first, "late"), std::logic_error);
    EXPECT_THROW(xml.AddTextElement(inner, "late", "y"), std::logic_error);
    EXPECT_FALSE(xml.SetAttribute(first, "a", "b"));
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) +
                                  "<xmeml version=\"4\"><first><inner><leaf>x</leaf></inner>"
                                  "</first><second/></xmeml>\n");
    EXPECT_THROW(xml.AddElement(xml.GetRoot(), "after"), std::logic_error);
}

TEST(FCXmlDocument, SetTextAndAttributesOnlyBeforeContent) {
    FCXmlDocument xml;
    xml.Create();
    const XmlElement name = xml.AddElement(xml.GetRoot(), "name");
    EXPECT_TRUE(xml.SetAttribute(name, "id", "a\"b"));
    EXPECT_TRUE(xml.SetText(name, "new & <improved>"));
    EXPECT_FALSE(xml.SetText(name, "again"));
    EXPECT_FALSE(xml.SetAttribute(name, "late", "x"));
    EXPECT_EQ(xml.ToString(), std::string(kDeclaration) +
                                  "<xmeml version=\"4\"><name id=\"a&quot;b\">new &amp; "
                                  "&lt;improved&gt;</name></xmeml>\n");
}

TEST(SelectElement, FollowsRelativePaths) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(
        "<xmeml><clipitem><file><media><audio/><audio/></media></file></clipitem></xmeml>"));
    const pugi::xml_node clipitem = document.document_element().child("clipitem");
    const pugi::xml_node media = clipitem.child("file").child("media");
    EXPECT_EQ(SelectElement(media, "../.."), clipitem);
    EXPECT_EQ(SelectElement(media, "./audio"), media.first_child());
    EXPECT_EQ(SelectElement(clipitem, "file/media"), media);
    EXPECT_EQ(SelectElement(media, "."), media);
    EXPECT_FALSE(SelectElement(media, "./video"));
    // The parent of the root is the document, which is not an element.
    EXPECT_FALSE(SelectElement(document.document_element(), ".."));
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

}  // namespace
