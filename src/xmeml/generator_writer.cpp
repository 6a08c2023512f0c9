#include "xmeml/generator_writer.h"

#include "model/clip_item.h"
#include "model/title_info.h"
#include "xmeml/clip_item_writer.h"
#include "xmeml/xml_document.h"

XmlElement WriteGeneratorItem(const FCVideoClipItem& item, FCXmlDocument& writer,
                              XmlElement trackElement) {
    const XmlElement generator = writer.AddElement(trackElement, "generatoritem");
    writer.AddTextElement(generator, "name", item.mobName);
    WriteTiming(item, writer, generator);
    const XmlElement effect = writer.AddElement(generator, "effect");
    if (item.title) {
        WriteTextGenerator(writer, effect, *item.title);
    } else if (writer.portable != nullptr) {
        writer.AddTextElement(effect, "effecttype", "generator");
        writer.AddTextElement(effect, "mediatype", "video");
    }
    WriteMediaType(item, writer, writer.AddElement(generator, "sourcetrack"));
    return generator;
}

void WriteTextGenerator(FCXmlDocument& writer, XmlElement effect, const FCTitleInfo& title) {
    writer.AddTextElement(effect, "name", "Text");
    writer.AddTextElement(effect, "effectid", "Text");
    writer.AddTextElement(effect, "effectcategory", "Text");
    if (writer.portable != nullptr) {
        writer.AddTextElement(effect, "effecttype", "generator");
    }
    writer.AddTextElement(effect, "mediatype", "video");
    writer.AddParameter(effect, "str", "Text", title.text);
    writer.AddParameter(effect, "fontname", "Fontname", title.fontName);
    writer.AddParameter(effect, "fontsize", "Fontsize", title.fontSize);
}
