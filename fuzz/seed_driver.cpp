// Runs a fuzz target without libFuzzer: every file of the folders (or files) named on the
// command line, then a fixed set of damaged copies of each (bit flips, overwritten bytes,
// truncations, cut-out and repeated pieces), go to LLVMFuzzerTestOneInput once. The copies are
// the same on every run, so a failure here can be reproduced by running the driver again.
//
//   SEED_DRIVER [--mutations N] [--save FILE] FOLDER_OR_FILE...
//
// Each input is announced on stderr before it runs; --save also writes it to FILE first, so
// that after a crash FILE holds the input that caused it (to minimise with the fuzz build).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t Pick(std::mt19937_64& random, std::size_t bound) {
    return bound == 0 ? 0 : static_cast<std::size_t>(random() % bound);
}

// One damaged copy of `seed`; the kind of damage cycles with `round`.
Bytes Mutate(const Bytes& seed, std::mt19937_64& random, unsigned round) {
    Bytes bytes = seed;
    if (bytes.empty()) {
        return Bytes(Pick(random, 64), static_cast<std::uint8_t>(random()));
    }
    static constexpr std::uint8_t kInteresting[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
    switch (round % 6) {
        case 0:  // a few flipped bits
            for (int i = 0; i < 1 + static_cast<int>(Pick(random, 4)); ++i) {
                bytes[Pick(random, bytes.size())] ^=
                    static_cast<std::uint8_t>(1u << Pick(random, 8));
            }
            break;
        case 1:  // boundary values over a counter, size or index
        {
            const std::size_t at = Pick(random, bytes.size());
            const std::size_t width = std::min<std::size_t>(1 + Pick(random, 4), bytes.size() - at);
            std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), width,
                        kInteresting[Pick(random, std::size(kInteresting))]);
            break;
        }
        case 2:  // cut short
            bytes.resize(Pick(random, bytes.size()));
            break;
        case 3:  // a piece cut out
        {
            const std::size_t at = Pick(random, bytes.size());
            const std::size_t length = Pick(random, bytes.size() - at + 1);
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
            break;
        }
        case 4:  // a piece repeated in place of another
        {
            const std::size_t from = Pick(random, bytes.size());
            const std::size_t to = Pick(random, bytes.size());
            const std::size_t length =
                std::min({Pick(random, 512) + 1, bytes.size() - from, bytes.size() - to});
            std::copy_n(seed.begin() + static_cast<std::ptrdiff_t>(from), length,
                        bytes.begin() + static_cast<std::ptrdiff_t>(to));
            break;
        }
        default:  // random bytes over a stretch
        {
            const std::size_t at = Pick(random, bytes.size());
            const std::size_t length =
                std::min<std::size_t>(Pick(random, 64) + 1, bytes.size() - at);
            for (std::size_t i = 0; i < length; ++i) {
                bytes[at + i] = static_cast<std::uint8_t>(random());
            }
            break;
        }
    }
    return bytes;
}

struct Runner {
    std::string savePath;
    std::size_t runs = 0;

    void operator()(const Bytes& bytes, const std::string& name, unsigned round) {
        std::fprintf(stderr, "input: %s round %u (%zu bytes)\n", name.c_str(), round, bytes.size());
        if (!savePath.empty()) {
            std::ofstream(savePath, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++runs;
    }
};

}  // namespace

int main(int argc, char** argv) {
    unsigned mutations = 24;
    Runner run;
    std::vector<std::filesystem::path> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mutations" && i + 1 < argc) {
            mutations = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--save" && i + 1 < argc) {
            run.savePath = argv[++i];
        } else if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (entry.is_regular_file()) {
                    seeds.push_back(entry.path());
                }
            }
        } else if (std::filesystem::is_regular_file(arg)) {
            seeds.emplace_back(arg);
        } else {
            std::fprintf(stderr, "seed driver: no such seed folder or file: %s\n", arg.c_str());
            return 2;
        }
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "seed driver: no seeds\n");
        return 2;
    }
    std::sort(seeds.begin(), seeds.end());

    run({}, "(empty)", 0);
    for (const std::filesystem::path& path : seeds) {
        const Bytes seed = ReadAll(path);
        const std::string name = path.filename().string();
        run(seed, name, 0);
        // The same damage for the same seed on every run.
        std::mt19937_64 random(std::hash<std::string>{}(name));
        for (unsigned round = 1; round <= mutations; ++round) {
            run(Mutate(seed, random, round), name, round);
        }
    }
    std::printf("seed driver: %zu seeds, %zu inputs, no failure\n", seeds.size(), run.runs);
    return 0;
}
