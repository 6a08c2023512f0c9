#include "app/shared/ui_strings.h"

std::string_view UiString(int id) {
    switch (id) {
        case IDS_INPUT_PROMPT_DE:
            return TESSEL_TEXT_INPUT_PROMPT_DE;
        case IDS_OUTPUT_PROMPT_DE:
            return TESSEL_TEXT_OUTPUT_PROMPT_DE;
        case IDS_QUIT_DE:
            return TESSEL_TEXT_QUIT_DE;
        case IDS_SAVE_DE:
            return TESSEL_TEXT_SAVE_DE;
        case IDS_PORTABLE_DE:
            return TESSEL_TEXT_PORTABLE_DE;
        case IDS_PORTABLE_TIP_DE:
            return TESSEL_TEXT_PORTABLE_TIP_DE;
        case IDS_INPUT_PROMPT_EN:
            return TESSEL_TEXT_INPUT_PROMPT_EN;
        case IDS_OUTPUT_PROMPT_EN:
            return TESSEL_TEXT_OUTPUT_PROMPT_EN;
        case IDS_QUIT_EN:
            return TESSEL_TEXT_QUIT_EN;
        case IDS_SAVE_EN:
            return TESSEL_TEXT_SAVE_EN;
        case IDS_PORTABLE_EN:
            return TESSEL_TEXT_PORTABLE_EN;
        case IDS_PORTABLE_TIP_EN:
            return TESSEL_TEXT_PORTABLE_TIP_EN;
        default:
            return {};
    }
}
