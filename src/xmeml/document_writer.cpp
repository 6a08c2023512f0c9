#include "xmeml/document_writer.h"

#include "model/interchange.h"
#include "model/sequence.h"
#include "model/track.h"
#include "xmeml/portable_form.h"
#include "xmeml/xml_document.h"

namespace {

void WriteTracksOf(const FCSequence& sequence, int32_t kind, FCXmlDocument& xml,
                   XmlElement container) {
    for (const std::unique_ptr<FCTrackBase>& track : sequence.tracks) {
        if (track && track->mediaKind == kind) {
            WriteTrack(*track, xml, container);
        }
    }
}

}  // namespace

void WriteImportOptions(FCXmlDocument& writer, XmlElement root) {
    XmlElement options = writer.AddElement(root, "importoptions");
    writer.AddTextElement(options, "createnewproject", "FALSE");
    writer.AddTextElement(options, "defsequencepresetname", "useFirstClipSettings");
    writer.AddTextElement(options, "displaynonfatalerrors", "FALSE");
    writer.AddTextElement(options, "filterreconnectmediafiles", "TRUE");
    writer.AddTextElement(options, "filterincludeeffects", "TRUE");
    writer.AddTextElement(options, "filterincludesequencesettings", "TRUE");
    writer.AddTextElement(options, "filterincludemarkers", "FALSE");
}

SaveStatus WriteDocument(const FCInterchange& interchange, const std::string& outputPath,
                         PortableForm* portable) {
    FCXmlDocument xml;
    xml.Create();
    xml.portable = portable;
    // Every element goes to the file as it is written: a long timeline is never held in memory
    // as a whole document.
    return xml.SaveWhileBuilding(outputPath, [&] {
        const XmlElement root = xml.GetRoot();
        WriteImportOptions(xml, root);
        for (const std::unique_ptr<FCSequence>& sequence : interchange.sequences) {
            if (sequence) {
                WriteSequence(*sequence, xml, root);
            }
        }
    });
}

void WriteSequence(const FCSequence& written, FCXmlDocument& xml, XmlElement parent) {
    if (xml.portable != nullptr) {
        xml.portable->StartSequence();
    }
    XmlElement sequence = xml.AddElement(parent, "sequence");
    xml.AddTextElement(sequence, "name", written.name);
    xml.AddIntegerElement(sequence, "duration", written.length);
    xml.WriteRate(xml.AddElement(sequence, "rate"), written.editRate.numerator,
                  written.editRate.denominator);
    const aafTimecode_t& timecode = written.startTimecode;
    xml.WriteTimecode(xml.AddElement(sequence, "timecode"), static_cast<int32_t>(timecode.fps),
                      static_cast<int32_t>(timecode.drop), timecode.startFrame);

    // Each container holds its tracks in their own order; the audio tracks follow the outputs.
    const XmlElement media = xml.AddElement(sequence, "media");
    const XmlElement video = xml.AddElement(media, "video");
    WriteTracksOf(written, kMediaVideo, xml, video);
    const XmlElement audio = xml.AddElement(media, "audio");
    const XmlElement group = xml.AddElement(xml.AddElement(audio, "outputs"), "group");
    xml.AddTextElement(group, "index", "1");
    xml.AddTextElement(group, "numchannels", "2");
    xml.AddTextElement(group, "downmix", "0");
    xml.AddTextElement(xml.AddElement(group, "channel"), "index", "1");
    xml.AddTextElement(xml.AddElement(group, "channel"), "index", "2");
    WriteTracksOf(written, kMediaAudio, xml, audio);
}
