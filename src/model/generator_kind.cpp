#include "model/generator_kind.h"

#include "model/ascii_case.h"
#include "model/clip_item.h"

int32_t ClassifyGenerator(std::string_view slotName, std::string_view mediaPath,
                          aafLength_t mediaLength) {
    if (EqualsIgnoringAsciiCase(slotName, "Color Matte")) {
        return kGeneratorColorMatte;
    }
    if (EqualsIgnoringAsciiCase(slotName, "Bars and Tone")) {
        return kGeneratorBarsAndTone;
    }
    if (EndsWithIgnoringAsciiCase(mediaPath, ".etl")) {
        return kGeneratorTitle;
    }
    return mediaLength == 1 ? kGeneratorStill : kGeneratorNone;
}

aafLength_t GeneratorHandle(aafRational_t editRate) {
    if (editRate.denominator == 0) {
        return 0;
    }
    // In 64 bits: the quotient truncates toward zero as in 32 bits, and no rate overflows.
    return aafLength_t{60} * editRate.numerator / editRate.denominator;
}
