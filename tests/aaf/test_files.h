#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessel::aaf::test {

/// The shared test-data folder, or an empty path when it is absent.
std::filesystem::path SharedDir();
/// Every .aaf file of the sample and fixture folders under SharedDir(), sorted; empty without it.
std::vector<std::filesystem::path> SampleFiles();
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace tessel::aaf::test
