#include "model/clip_item.h"
#include "model/track.h"
#include "xmeml/clip_item_writer.h"
#include "xmeml/document_writer.h"
#include "xmeml/xml_document.h"

void WriteTrack(const FCTrackBase& track, FCXmlDocument& writer, XmlElement container) {
    const XmlElement trackElement = writer.AddElement(container, "track");
    for (const ClipItemPtr& item : track.clipItems) {
        if (item) {
            WriteClipItem(*item, writer, trackElement);
        }
    }
    if (writer.portable != nullptr) {
        // After the items, as Final Cut Pro writes them; some importers stop without them.
        writer.AddTextElement(trackElement, "enabled", "TRUE");
        writer.AddTextElement(trackElement, "locked", "FALSE");
    }
}
