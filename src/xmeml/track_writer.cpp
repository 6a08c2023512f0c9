#include "model/clip_item.h"
#include "model/track.h"
#include "xmeml/clip_item_writer.h"
#include "xmeml/document_writer.h"
#include "xmeml/xml_document.h"

void WriteTrack(const FCTrackBase& track, FCXmlDocument& writer, pugi::xml_node media) {
    const bool video = dynamic_cast<const FCVideoTrack*>(&track) != nullptr;
    const pugi::xml_node container = SelectElement(media, video ? "./video" : "./audio");
    const pugi::xml_node trackElement = writer.AddElement(container, "track");
    // Each item (with the transition after it) is built in a scratch track of its own and is
    // complete when its writer returns: it goes to the file, or into the document, at once.
    pugi::xml_document scratch;
    for (const std::unique_ptr<FCClipItemBase>& item : track.clipItems) {
        if (item) {
            const pugi::xml_node holder = scratch.append_child("track");
            WriteClipItem(*item, writer, holder);
            writer.AppendFinished(trackElement, holder);
            scratch.reset();
        }
    }
    if (writer.portable != nullptr) {
        // After the items, as Final Cut Pro writes them; some importers stop without them.
        writer.AddTextElement(trackElement, "enabled", "TRUE");
        writer.AddTextElement(trackElement, "locked", "FALSE");
    }
}
