// tessel-mkaaf: writes an AAF file from a JSON edit description, or a random EDIUS-shaped edit.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "edit_description.h"
#include "platform/files.h"
#include "platform/program.h"
#include "random_edit.h"

namespace {

constexpr const char* kUsage =
    "usage: tessel-mkaaf DESCRIPTION.json --out FILE.aaf [--sector-size 512|4096]\n"
    "       tessel-mkaaf --random SEED --clips N --out FILE.aaf [--sector-size 512|4096]\n"
    "                    [--titles] [--json-out FILE.json]\n"
    "       --verbose prints how long each step took.\n"
    "Writes an AAF file. --titles also writes the title documents (.etl) of a random edit\n"
    "beside FILE.aaf; --json-out writes the description of a random edit.\n";

int Fail(const std::string& message) {
    std::cerr << "tessel-mkaaf: " << message << "\n";
    return 1;
}

bool ParseNumber(const std::string& text, std::uint64_t& out) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, out);
    return result.ec == std::errc() && result.ptr == end && !text.empty();
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = tessel::platform::ProgramArguments(argc, argv);
    std::string input, output, jsonOut;
    std::uint64_t seed = 0, clips = 0, sectorSize = 0;
    bool random = false, titles = false, haveClips = false, verbose = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--out") {
            if (!value(output)) {
                return Fail("--out needs a file name");
            }
        } else if (a == "--json-out") {
            if (!value(jsonOut)) {
                return Fail("--json-out needs a file name");
            }
        } else if (a == "--random") {
            if (!value(text) || !ParseNumber(text, seed)) {
                return Fail("--random needs a seed (a non-negative integer)");
            }
            random = true;
        } else if (a == "--clips") {
            if (!value(text) || !ParseNumber(text, clips) || clips == 0 || clips > 10'000'000) {
                return Fail("--clips needs a number from 1 to 10000000");
            }
            haveClips = true;
        } else if (a == "--sector-size") {
            if (!value(text) || !ParseNumber(text, sectorSize) ||
                (sectorSize != 512 && sectorSize != 4096)) {
                return Fail("--sector-size must be 512 or 4096");
            }
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--titles") {
            titles = true;
        } else if (!a.empty() && a[0] == '-') {
            return Fail("unknown option " + a + "\n" + kUsage);
        } else if (input.empty()) {
            input = a;
        } else {
            return Fail("more than one description given\n" + std::string(kUsage));
        }
    }
    if (output.empty()) {
        return Fail("no output file (--out FILE.aaf)\n" + std::string(kUsage));
    }
    if (random == !input.empty()) {
        return Fail("give either a description or --random SEED\n" + std::string(kUsage));
    }
    if (random && !haveClips) {
        return Fail("--random needs --clips N");
    }

    const auto started = std::chrono::steady_clock::now();
    auto lap = started;
    std::clock_t cpuLap = std::clock();
    const auto step = [&](const char* what) {
        const auto now = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        if (verbose) {
            std::fprintf(stderr, "tessel-mkaaf: %s %.2f s (processor %.2f s)\n", what,
                         std::chrono::duration<double>(now - lap).count(),
                         static_cast<double>(cpu - cpuLap) / CLOCKS_PER_SEC);
        }
        lap = now;
        cpuLap = cpu;
    };
    nlohmann::json description;
    std::vector<tessel::mkaaf::TitleDocument> titleDocuments;
    if (random) {
        auto edit = tessel::mkaaf::MakeRandomEdit(
            seed, static_cast<std::int64_t>(clips),
            sectorSize == 0 ? 512 : static_cast<std::uint32_t>(sectorSize));
        description = std::move(edit.description);
        titleDocuments = std::move(edit.titles);
    } else {
        std::ifstream in(tessel::platform::PathFromUtf8(input), std::ios::binary);
        if (!in) {
            return Fail("cannot open " + input);
        }
        try {
            description = nlohmann::json::parse(in);
        } catch (const nlohmann::json::parse_error& e) {
            return Fail(input + " is not valid JSON: " + e.what());
        }
    }

    step("description");
    tessel::mkaaf::DescriptionStatus status;
    tessel::aafwriter::BuilderOptions options =
        tessel::mkaaf::OptionsFromDescription(description, status);
    if (!status.ok()) {
        return Fail((random ? std::string("random edit") : input) + ": " + status.message);
    }
    if (sectorSize != 0) {
        options.sectorSize = static_cast<std::uint32_t>(sectorSize);
    }
    tessel::aafwriter::AafBuilder builder(options);
    status = tessel::mkaaf::BuildFromDescription(description, builder);
    if (!status.ok()) {
        return Fail((random ? std::string("random edit") : input) + ": " + status.message);
    }
    step("objects");
    const auto written = builder.Write(output);
    step("file");
    if (!written.ok()) {
        return Fail(written.message);
    }
    if (!jsonOut.empty() &&
        !WriteText(tessel::platform::PathFromUtf8(jsonOut), description.dump(2) + "\n")) {
        return Fail("cannot write " + jsonOut);
    }
    if (titles) {
        const auto folder =
            std::filesystem::absolute(tessel::platform::PathFromUtf8(output)).parent_path();
        for (const auto& title : titleDocuments) {
            if (!WriteText(folder / tessel::platform::PathFromUtf8(title.fileName),
                           tessel::mkaaf::TitleDocumentXml(title))) {
                return Fail("cannot write " +
                            tessel::platform::Utf8FromPath(
                                folder / tessel::platform::PathFromUtf8(title.fileName)));
            }
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::fprintf(stderr, "tessel-mkaaf: wrote %s in %.2f s\n", output.c_str(), took.count());
    return 0;
}
