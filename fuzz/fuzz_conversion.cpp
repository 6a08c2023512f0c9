// Fuzz target: the whole conversion, from the bytes of an AAF file to a saved document, through
// the job's steps as the front ends run them (no log target is registered).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <system_error>

#include "fuzz_input_file.h"
#include "job/conversion_job.h"
#include "strict_xml.h"
#include "titles/title_search.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "conversion fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tessel::fuzz::FuzzInputFile input("input.aaf");
    static const std::string output = input.Sibling("output.xml");
    input.Write(data, size);
    std::error_code error;
    std::filesystem::remove(output, error);
    // Title documents are looked for only in the private folder, never elsewhere on the machine.
    SetTitleSearchFolders({input.Folder()});

    ConversionStatus status = ConversionStatus::kInputNotOpened;
    if (OpenAafFile(input.Path())) {
        // Inputs of odd size are written in the portable form, so that both forms are fuzzed.
        status = RunConversion(output, true, size % 2 == 1);
    }
    CloseAafFile();

    const bool written = std::filesystem::exists(output, error);
    if (status != ConversionStatus::kSucceeded) {
        if (written) {
            Fail("a failed conversion left an output file");
        }
        return 0;
    }
    if (!written) {
        Fail("a conversion reported success without an output file");
    }
    // pugixml reads much that no importer does; a conforming parser judges well-formedness.
    const std::string errors = tessel::test::StrictXmlErrors(output);
    if (!errors.empty()) {
        std::fprintf(stderr, "%s", errors.c_str());
        Fail("the saved document is not well-formed");
    }
    pugi::xml_document document;
    if (!document.load_file(output.c_str()) || !document.child("xmeml")) {
        Fail("the saved document is not xmeml");
    }
    return 0;
}
