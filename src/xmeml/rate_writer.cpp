#include "model/rate_table.h"
#include "xmeml/xml_document.h"

namespace {

const char* BooleanText(bool value) {
    return value ? "TRUE" : "FALSE";
}

}  // namespace

void FCXmlDocument::WriteRate(XmlElement parent, int32_t numerator, int32_t denominator) {
    if (portable != nullptr) {
        const RateTimebase rate = PortableRate(numerator, denominator);
        AddTextElement(parent, "ntsc", BooleanText(rate.ntsc));
        AddIntegerElement(parent, "timebase", rate.timebase);
    } else if (const std::optional<RateTimebase> rate = LookupRate(numerator, denominator)) {
        AddTextElement(parent, "ntsc", BooleanText(rate->ntsc));
        AddIntegerElement(parent, "timebase", rate->timebase);
    } else {
        AddTextElement(parent, "ntsc", "");
        AddTextElement(parent, "timebase", "");
    }
}

void FCXmlDocument::WriteTimecode(XmlElement parent, int32_t timebase, int32_t ntscFlag,
                                  int64_t frame) {
    AddIntegerElement(parent, "frame", frame);
    // Only the timebase decides the display format; the drop flag goes into "ntsc".
    AddTextElement(parent, "displayformat", timebase == 30 ? "DF" : "NDF");
    XmlElement rate = AddElement(parent, "rate");
    AddTextElement(rate, "ntsc", BooleanText(ntscFlag != 0));
    AddIntegerElement(rate, "timebase", timebase);
}
