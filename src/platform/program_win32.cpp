#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/files.h"
#include "platform/program.h"

namespace tessel::platform {

std::vector<std::string> ProgramArguments(int, char**) {
    // The console shows what the programs print (UTF-8) as it is.
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8FromPath(std::filesystem::path(wide[i])));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace tessel::platform
