#include "xmeml/transition_writer.h"

#include "model/clip_item.h"
#include "model/edit_arithmetic.h"
#include "model/track.h"
#include "xmeml/xml_document.h"

std::string_view TransitionAlignment(int64_t cutPoint, int64_t transitionLength) {
    if (cutPoint == 0) {
        return "start";
    }
    return cutPoint == transitionLength ? "end" : "center";
}

XmlElement WriteTransitionItem(const FCClipItemBase& item, FCXmlDocument& writer,
                               XmlElement trackElement) {
    if (!item.hasTransition) {
        return {};
    }
    // Every transition becomes a cross dissolve ending where the clip ends.
    const int64_t end = WrappingAdd(item.recordStart, item.length);
    const XmlElement transition = writer.AddElement(trackElement, "transitionitem");
    writer.AddIntegerElement(transition, "start", WrappingSubtract(end, item.transitionLength));
    writer.AddIntegerElement(transition, "end", end);
    writer.AddTextElement(transition, "alignment",
                          TransitionAlignment(item.transitionCutPoint, item.transitionLength));
    const XmlElement effect = writer.AddElement(transition, "effect");
    writer.AddTextElement(effect, "effecttype", "transition");
    writer.AddTextElement(effect, "effectid", "Cross Dissolve");
    writer.AddTextElement(effect, "name", "Normale Überblendung");
    if (writer.portable != nullptr) {
        const int32_t kind = item.track != nullptr ? item.track->mediaKind : item.mediaKind;
        writer.AddTextElement(effect, "mediatype", kind == kMediaVideo ? "video" : "audio");
    }
    return transition;
}
