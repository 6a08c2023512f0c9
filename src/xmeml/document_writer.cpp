#include "xmeml/document_writer.h"

#include "model/interchange.h"
#include "model/sequence.h"
#include "model/track.h"
#include "xmeml/portable_form.h"
#include "xmeml/xml_document.h"

void WriteImportOptions(FCXmlDocument& writer, pugi::xml_node root) {
    pugi::xml_node options = writer.AddElement(root, "importoptions");
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
    // The track writer hands each finished clip item to the file at once, so that a long
    // timeline is never held in memory as a whole document.
    return xml.SaveWhileBuilding(outputPath, [&] {
        const pugi::xml_node root = xml.GetRoot();
        WriteImportOptions(xml, root);
        for (const std::unique_ptr<FCSequence>& sequence : interchange.sequences) {
            if (sequence) {
                WriteSequence(*sequence, xml, root);
            }
        }
    });
}

void WriteSequence(const FCSequence& written, FCXmlDocument& xml, pugi::xml_node parent) {
    if (xml.portable != nullptr) {
        xml.portable->StartSequence();
    }
    pugi::xml_node sequence = xml.AddElement(parent, "sequence");
    xml.AddTextElement(sequence, "name", written.name);
    xml.AddIntegerElement(sequence, "duration", written.length);
    xml.WriteRate(xml.AddElement(sequence, "rate"), written.editRate.numerator,
                  written.editRate.denominator);
    const aafTimecode_t& timecode = written.startTimecode;
    xml.WriteTimecode(xml.AddElement(sequence, "timecode"), static_cast<int32_t>(timecode.fps),
                      static_cast<int32_t>(timecode.drop), timecode.startFrame);

    pugi::xml_node media = xml.AddElement(sequence, "media");
    xml.AddElement(media, "video");
    pugi::xml_node audio = xml.AddElement(media, "audio");
    pugi::xml_node group = xml.AddElement(xml.AddElement(audio, "outputs"), "group");
    xml.AddTextElement(group, "index", "1");
    xml.AddTextElement(group, "numchannels", "2");
    xml.AddTextElement(group, "downmix", "0");
    xml.AddTextElement(xml.AddElement(group, "channel"), "index", "1");
    xml.AddTextElement(xml.AddElement(group, "channel"), "index", "2");

    media = SelectElement(sequence, "./media");
    // Video tracks before audio tracks, each kind in its own order: the order in which they
    // stand in the document, so that every clip item is finished when the next one is written.
    for (int32_t kind : {kMediaVideo, kMediaAudio}) {
        for (const std::unique_ptr<FCTrackBase>& track : written.tracks) {
            if (track && track->mediaKind == kind) {
                WriteTrack(*track, xml, media);
            }
        }
    }
}
