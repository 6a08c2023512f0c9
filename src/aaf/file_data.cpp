#include "aaf/file_data.h"

#include <cstdint>

namespace tessel::aaf {

namespace {

Status OpenError(const platform::SystemError& error, const std::string& path) {
    std::string detail = path + ": " + platform::SystemErrorText(error);
    switch (error.kind) {
        case platform::ErrorKind::kNotFound:
            return Status::Error(AAFRESULT_FILE_NOT_FOUND, detail);
        case platform::ErrorKind::kAccessDenied:
            return Status::Error(AAFRESULT_ACCESS_DENIED, detail);
        case platform::ErrorKind::kIsDirectory:
            return Status::Error(AAFRESULT_IS_DIRECTORY, detail);
        default:
            return Status::Error(AAFRESULT_READ_FAILED, detail);
    }
}

}  // namespace

Status FileData::Open(const std::string& utf8Path, std::shared_ptr<const FileData>& out) {
    if (utf8Path.empty()) {
        return Status::Error(AAFRESULT_FILE_NOT_FOUND, "no file name was given");
    }
    platform::InputFile::Problem problem = platform::InputFile::Problem::kNone;
    platform::SystemError error;
    std::unique_ptr<platform::InputFile> file =
        platform::InputFile::Open(utf8Path, UINT64_MAX, problem, error);
    switch (problem) {
        case platform::InputFile::Problem::kNone:
            break;
        case platform::InputFile::Problem::kSystem:
            return OpenError(error, utf8Path);
        case platform::InputFile::Problem::kNotRegularFile:
            return Status::Error(AAFRESULT_READ_FAILED, utf8Path + ": not a regular file");
        case platform::InputFile::Problem::kTooLarge:
            return Status::Error(AAFRESULT_FILE_TOO_LARGE, utf8Path);
    }
    std::shared_ptr<FileData> data(new FileData());
    data->bytes_ = file->Bytes();
    data->file_ = std::move(file);
    out = std::move(data);
    return {};
}

std::shared_ptr<const FileData> FileData::FromBytes(std::string bytes) {
    std::shared_ptr<FileData> data(new FileData());
    data->owned_ = std::move(bytes);
    data->bytes_ = {reinterpret_cast<const std::uint8_t*>(data->owned_.data()),
                    data->owned_.size()};
    return data;
}

FileData::~FileData() = default;

}  // namespace tessel::aaf
