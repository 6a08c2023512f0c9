// tessel_fuzz_compact_seed IN.aaf OUT.aaf: a copy of an AAF file for fuzzing, with the
// MetaDictionary cut down to the first few definitions of each kind. The MetaDictionary of a
// written file is most of its bytes, but only extension classes need it; small seeds let the
// fuzzer spend its time on the objects that vary.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "aaf/compound_file.h"
#include "aaf/compound_file_writer.h"
#include "aaf/file_data.h"

namespace {

using tessel::aaf::CompoundFile;
using tessel::cfb::CompoundFileWriter;

constexpr std::uint32_t kKeptDefinitions = 3;
constexpr std::size_t kVectorIndexHeader = 12;
constexpr std::size_t kSetIndexHeader = 15;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::uint32_t LittleU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The local keys an index stream lists first, and the index cut down to them. Vector entries
// are a 4-byte local key; set entries a local key, a reference count and the element's key.
std::vector<std::uint8_t> CutIndex(const std::vector<std::uint8_t>& index, bool set,
                                   std::vector<std::uint32_t>& keptKeys) {
    const std::size_t header = set ? kSetIndexHeader : kVectorIndexHeader;
    if (index.size() < header) {
        return index;
    }
    const std::size_t entrySize = set ? 8 + std::size_t{index[14]} : 4;
    const std::uint32_t count = LittleU32(index.data());
    const std::uint32_t kept = std::min(count, kKeptDefinitions);
    std::vector<std::uint8_t> cut(
        index.begin(), index.begin() + static_cast<std::ptrdiff_t>(header + kept * entrySize));
    cut[0] = static_cast<std::uint8_t>(kept);
    cut[1] = cut[2] = cut[3] = 0;
    for (std::uint32_t i = 0; i < kept; ++i) {
        const std::uint8_t* key = index.data() + header + i * entrySize;
        keptKeys.push_back(LittleU32(key));
    }
    return cut;
}

class Copier {
  public:
    Copier(const CompoundFile& in, CompoundFileWriter& out) : in_(in), out_(out) {}

    bool Copy(CompoundFile::EntryId from, CompoundFileWriter::EntryId to, bool inMeta) {
        // Inside the MetaDictionary, index streams are cut first; they decide which element
        // storages stay.
        std::vector<std::string> keptElements;
        for (CompoundFile::EntryId child : in_.Children(from)) {
            const std::string name = in_.Name(child);
            if (!in_.IsStream(child)) {
                continue;
            }
            std::vector<std::uint8_t> bytes;
            if (!in_.ReadStream(child, bytes).ok()) {
                return false;
            }
            if (inMeta && EndsWith(name, " index")) {
                const std::string collection = name.substr(0, name.size() - 6);
                std::vector<std::uint32_t> keys;
                // Sets (definitions) have a key size at byte 14; vectors do not.
                const bool set = collection.find("Definitions") != std::string::npos;
                bytes = CutIndex(bytes, set, keys);
                for (std::uint32_t key : keys) {
                    char hex[16];
                    std::snprintf(hex, sizeof hex, "%x", key);
                    keptElements.push_back(collection + "{" + hex + "}");
                }
            }
            out_.AddStream(to, name, std::move(bytes));
        }
        for (CompoundFile::EntryId child : in_.Children(from)) {
            if (!in_.IsStorage(child)) {
                continue;
            }
            const std::string name = in_.Name(child);
            const bool element = name.find('{') != std::string::npos;
            if (inMeta && element &&
                std::find(keptElements.begin(), keptElements.end(), name) == keptElements.end()) {
                continue;
            }
            const bool meta = inMeta || name.rfind("MetaDictionary", 0) == 0;
            const auto storage = out_.AddStorage(to, name, in_.ClassIdBytes(child));
            // Below a kept definition everything is copied whole.
            if (!Copy(child, storage, meta && !element)) {
                return false;
            }
        }
        return true;
    }

  private:
    const CompoundFile& in_;
    CompoundFileWriter& out_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessel_fuzz_compact_seed IN.aaf OUT.aaf\n");
        return 2;
    }
    std::shared_ptr<const tessel::aaf::FileData> data;
    std::unique_ptr<CompoundFile> in;
    tessel::aaf::Status status = tessel::aaf::FileData::Open(argv[1], data);
    if (status.ok()) {
        status = CompoundFile::Open(data, in);
    }
    if (!status.ok()) {
        std::fprintf(stderr, "tessel_fuzz_compact_seed: %s: %s\n", argv[1],
                     status.Message().c_str());
        return 1;
    }
    CompoundFileWriter out(in->SectorSize());
    out.SetHeaderClsid(in->HeaderClassId());
    out.SetRootClsid(in->ClassIdBytes(CompoundFile::kRoot));
    Copier copier(*in, out);
    if (!copier.Copy(CompoundFile::kRoot, CompoundFileWriter::kRootId, false)) {
        std::fprintf(stderr, "tessel_fuzz_compact_seed: %s: a stream cannot be read\n", argv[1]);
        return 1;
    }
    const tessel::cfb::WriteStatus written = out.Write(argv[2]);
    if (!written.ok()) {
        std::fprintf(stderr, "tessel_fuzz_compact_seed: %s\n", written.message.c_str());
        return 1;
    }
    return 0;
}
