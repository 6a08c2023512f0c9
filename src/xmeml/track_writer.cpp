#include "model/clip_item.h"
#include "model/track.h"
#include "xmeml/xml_document.h"

namespace {

void WriteTrack(const FCTrackBase& track, FCXmlDocument& writer, pugi::xml_node media,
                const char* containerPath) {
    const pugi::xml_node container = SelectElement(media, containerPath);
    const pugi::xml_node trackElement = writer.AddElement(container, "track");
    for (const std::unique_ptr<FCClipItemBase>& item : track.clipItems) {
        if (item) {
            item->WriteXml(writer, trackElement);
            // The item (and the transition after it) is complete: it can go to the file.
            writer.WriteOut(trackElement.last_child());
        }
    }
}

}  // namespace

void FCAudioTrack::WriteXml(FCXmlDocument& writer, pugi::xml_node media) const {
    WriteTrack(*this, writer, media, "./audio");
}

void FCVideoTrack::WriteXml(FCXmlDocument& writer, pugi::xml_node media) const {
    WriteTrack(*this, writer, media, "./video");
}
