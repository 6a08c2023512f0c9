// The message table behind AafResultText: one sentence per code this reader returns.

#include <cstdio>
#include <mutex>
#include <string>

#include "aaf/aaf_result.h"
#include "aaf/status.h"

namespace {

struct ResultText {
    AAFRESULT code;
    const char* text;
};

constexpr ResultText kTexts[] = {
    {AAFRESULT_SUCCESS, "The operation succeeded."},
    {AAFRESULT_NOT_AAF_FILE, "The file is not an AAF file."},
    {AAFRESULT_SMALLBUF, "The buffer is too small for the value."},
    {AAFRESULT_NULLOBJECT, "No object was given."},
    {AAFRESULT_BADINDEX, "The index is outside the collection."},
    {AAFRESULT_PROP_NOT_PRESENT, "The object does not have this property."},
    {AAFRESULT_OBJECT_NOT_FOUND, "The referenced object was not found in the file."},
    {AAFRESULT_SLOT_NOT_FOUND, "The mob has no slot with this id."},
    {AAFRESULT_MOB_NOT_FOUND, "The file has no mob with this id."},
    {AAFRESULT_NO_MORE_OBJECTS, "There are no more objects."},
    {AAFRESULT_NULL_PARAM, "A required argument was missing."},
    {AAFRESULT_NOT_INITIALIZED, "The object is not initialised."},
    {AAFRESULT_ILLEGAL_VALUE, "The value is not allowed."},
    {AAFRESULT_INVALID_PARAM, "An argument is not valid."},
    {AAFRESULT_ABSTRACT_CLASS, "The object's class does not provide this operation."},
    {AAFRESULT_NO_INTERFACE, "The object does not support this interface."},
    {AAFRESULT_FILE_NOT_FOUND, "The file was not found."},
    {AAFRESULT_ACCESS_DENIED, "Permission to read the file was denied."},
    {AAFRESULT_IS_DIRECTORY, "The path names a folder, not a file."},
    {AAFRESULT_READ_FAILED, "The file could not be read."},
    {AAFRESULT_NOT_COMPOUND_FILE,
     "The file is not an AAF file: it is not a structured-storage (compound) file."},
    {AAFRESULT_CORRUPT_CONTAINER,
     "The file is damaged or truncated: its structured-storage container cannot be read."},
    {AAFRESULT_CORRUPT_OBJECT, "The file is damaged: an AAF object in it cannot be read."},
    {AAFRESULT_FILE_CLOSED, "The AAF file has already been closed."},
    {AAFRESULT_UNKNOWN_CLASS, "The file holds an object of a class that is not defined."},
    {AAFRESULT_FILE_TOO_LARGE, "The file is too large to be read."},
};

// One per process, not per thread: files are opened one at a time, and a thread-local string
// would be destroyed after its storage is released when a thread ends in MinGW builds.
std::mutex g_lastOpenErrorMutex;
std::string g_lastOpenError;

}  // namespace

std::string AafResultText(AAFRESULT code) {
    for (const ResultText& entry : kTexts) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "Unknown AAF error 0x%08X.", static_cast<unsigned>(code));
    return text;
}

std::string AafLastOpenError() {
    const std::lock_guard lock(g_lastOpenErrorMutex);
    return g_lastOpenError;
}

namespace tessel::aaf {

void SetLastOpenError(std::string message) {
    const std::lock_guard lock(g_lastOpenErrorMutex);
    g_lastOpenError = std::move(message);
}

std::string Status::Message() const {
    std::string message = AafResultText(code_);
    if (!detail_.empty()) {
        // "Sentence." + " Detail." reads better than a colon chain.
        message += " (" + detail_ + ")";
    }
    return message;
}

}  // namespace tessel::aaf
