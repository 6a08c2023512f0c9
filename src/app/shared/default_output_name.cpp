#include "app/shared/default_output_name.h"

std::string DefaultOutputName(std::string_view aafPath) {
    const std::size_t dot = aafPath.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(aafPath.substr(0, dot));
}
