#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "aaf/compound_file_writer.h"
#include "aafwriter/object.h"

namespace tessel::aafwriter {

/// How a file is laid out.
struct FileLayout {
    std::uint32_t sectorSize = 512;  ///< 512 (compound file version 3) or 4096 (version 4)
    ByteOrder byteOrder = ByteOrder::kLittle;
};

/// Stores the root object (its MetaDictionary and Header) as an AAF structured-storage file:
/// one storage per object with its class id, a `properties` stream each, index streams for
/// collections and the root's `referenced properties` table for the weak references.
cfb::WriteStatus WriteAafFile(const Object& metaDictionary, const Object& header,
                              const FileLayout& layout, const std::string& path);

/// The same file as bytes (for tests); empty with `status` set on failure.
std::vector<std::uint8_t> AafFileBytes(const Object& metaDictionary, const Object& header,
                                       const FileLayout& layout,
                                       cfb::WriteStatus* status = nullptr);

/// The storage name of a property: the name shortened to fit `budget` (32 for single
/// references and streams, 22 for collections), then '-' and the pid in lower-case hex.
std::string MangledName(std::string_view propertyName, std::uint16_t pid, std::size_t budget);

}  // namespace tessel::aafwriter
