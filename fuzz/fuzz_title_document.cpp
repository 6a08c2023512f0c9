// Fuzz target: the EDIUS title document reader, and the lookup of a title document's path
// (the input taken as the path an AAF file gives).

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input_file.h"
#include "model/title_info.h"
#include "titles/title_document.h"
#include "titles/title_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tessel::fuzz::FuzzInputFile input("title.etl");
    input.Write(data, size);
    FCTitleInfo title;
    ReadTitleDocumentAt(input.Path(), title);

    // Only the names of candidates are built here; none is opened.
    const std::string path(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> folders{input.Folder(), "C:\\Titles"};
    TitleDocumentCandidates(path, folders);
    PathFromFileUrl(path);
    FileNameOf(path);
    return 0;
}
