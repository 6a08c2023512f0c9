#include "aaf/compound_file.h"

#include <gtest/gtest.h>

namespace tessel::aaf {
namespace {

TEST(CompoundFile, EmptyInputIsNotACompoundFile) {
    std::unique_ptr<CompoundFile> file;
    Status status = CompoundFile::Open(FileData::FromBytes(""), file);
    EXPECT_EQ(status.code(), AAFRESULT_NOT_COMPOUND_FILE);
}

}  // namespace
}  // namespace tessel::aaf
