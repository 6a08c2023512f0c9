#include "job/conversion_job.h"

#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "model/clip_registry.h"
#include "model/interchange.h"
#include "model/log.h"
#include "model/source_cache.h"
#include "model/track.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "titles/title_document.h"
#include "titles/title_search.h"
#include "xmeml/document_writer.h"
#include "xmeml/portable_form.h"

std::shared_ptr<IAAFFile> g_aafFile;

namespace {

// The path `g_aafFile` was opened from, to keep a conversion from saving over its own input.
std::string g_aafPath;

// A title clip's record comes from its title document, wherever that is found. A long edit
// shows one title many times: each document is read once per conversion, and what reading it
// logs is logged again for every clip, as if it had been read anew.
class TitleDocumentCache {
  public:
    void Read(const std::string& path, FCTitleInfo& title) {
        auto found = readings_.find(path);
        if (found == readings_.end()) {
            found = readings_.emplace(path, ReadTitleDocumentQuietly(path, title)).first;
        }
        LogTitleReading(found->second);
        title = found->second.title;
        title.documentPath = found->second.pathRead;
    }

  private:
    std::unordered_map<std::string, TitleReading> readings_;
};

// Logs an error while the conversion is already failing; a failure to log is not a second one.
void LogErrorQuietly(std::string_view text) noexcept {
    try {
        LogLine(text, kLogError);
    } catch (...) {
    }
}

bool IsTheInputFile(const std::string& outputPath) {
    std::error_code error;
    return !g_aafPath.empty() &&
           std::filesystem::equivalent(tessel::platform::PathFromUtf8(g_aafPath),
                                       tessel::platform::PathFromUtf8(outputPath), error) &&
           !error;
}

// Title documents missing where the AAF file says are looked for beside the input file first,
// then in the folders the user named.
std::vector<std::string> TitleFoldersFor(const ConversionRequest& request) {
    std::vector<std::string> folders;
    const std::filesystem::path inputFolder =
        tessel::platform::PathFromUtf8(request.inputPath).parent_path();
    folders.push_back(inputFolder.empty() ? std::string(".")
                                          : tessel::platform::Utf8FromPath(inputFolder));
    folders.insert(folders.end(), request.titleFolders.begin(), request.titleFolders.end());
    return folders;
}

// Passes every line on and keeps the first error, which the report gives as the reason.
class FirstErrorKeeper : public LogTarget {
  public:
    explicit FirstErrorKeeper(LogTarget* next) : next_(next) {}
    void TakeLogLine(int kind, std::string line) override {
        if (kind == kLogError && firstError_.empty()) {
            firstError_ = line.substr(0, line.find_last_not_of("\r\n") + 1);
        }
        if (next_ != nullptr) {
            next_->TakeLogLine(kind, std::move(line));
        }
    }
    const std::string& FirstError() const { return firstError_; }

  private:
    LogTarget* next_;
    std::string firstError_;
};

// The counts go to the report whichever way the building ends, so a failed conversion still
// tells what it had read.
class ReportOnExit {
  public:
    ReportOnExit(const FCInterchange& interchange, ConversionReport* report)
        : interchange_(interchange), report_(report) {}
    ReportOnExit(const ReportOnExit&) = delete;
    ReportOnExit& operator=(const ReportOnExit&) = delete;
    ~ReportOnExit() {
        if (report_ == nullptr) {
            return;
        }
        try {
            ReportSequences(interchange_, *report_);
        } catch (...) {
            report_->sequences.clear();  // out of memory: no counts rather than half of them
        }
    }

  private:
    const FCInterchange& interchange_;
    ConversionReport* report_;
};

// Relative locators are resolved where the AAF file lies, as EDIUS resolves them.
std::string MediaFolder() {
    const std::filesystem::path given = tessel::platform::PathFromUtf8(g_aafPath);
    std::error_code error;
    std::filesystem::path input = std::filesystem::absolute(given, error);
    if (error) {
        input = given;
    }
    return tessel::platform::Utf8FromPath(input.parent_path());
}

ConversionStatus BuildAndSave(const std::string& outputPath, bool renameAviToMov, bool portable,
                              ConversionReport* report) {
    FCInterchange interchange;
    const ReportOnExit reportOnExit(interchange, report);
    std::optional<PortableForm> portableForm;
    if (portable) {
        portableForm.emplace(MediaFolder());
    }
    if (!g_aafFile) {
        return ConversionStatus::kNoHeader;
    }
    std::shared_ptr<IAAFHeader> header;
    g_aafFile->GetHeader(header);
    if (!header) {
        return ConversionStatus::kNoHeader;
    }
    SetAafHeader(header);

    AddCompositionSequences(interchange, *header);
    LogLine("Processing Effects and Transitions...", kLogProgress);
    ProcessEffectsAndTransitions(interchange);
    LogLine("Convertion done.", kLogProgress);
    if (renameAviToMov) {
        RenameAviToMov(g_videoClipsByPath);
        RenameAviToMov(g_audioClipsByPath);
    }
    LogLine("Saving Interchange Format to file " + outputPath, kLogProgress);
    SaveStatus saved =
        WriteDocument(interchange, outputPath, portableForm ? &*portableForm : nullptr);
    if (!saved.ok) {
        LogLine(saved.message, kLogError);
        return ConversionStatus::kOutputNotSaved;
    }
    LogLine("Finished!", kLogMilestone);
    return ConversionStatus::kSucceeded;
}

// Address space only: a page counts once it is touched. A 100,000-clip edit touches about a
// fifth of it; a longer one goes on in ordinary pages past it.
constexpr std::size_t kHeapReserve = std::size_t{512} << 20;

}  // namespace

bool LoadAafLibrary() {
    // Each front end calls this once at its start, before any conversion runs: the moment to
    // give the conversions' small objects a heap on huge pages (a long edit makes millions).
    tessel::platform::ReserveHugePageHeap(kHeapReserve);
    // The reader is linked in; there is no library file to name.
    AAFRESULT result = AAFLoad(nullptr);
    if (AAFRESULT_FAILED(result)) {
        LogLine(SystemErrorText(result), kLogError);
        return false;
    }
    return true;
}

bool UnloadAafLibrary() {
    AAFRESULT result = AAFUnload();
    if (AAFRESULT_FAILED(result)) {
        LogLine(SystemErrorText(result), kLogError);
        return false;
    }
    return true;
}

std::string SystemErrorText(AAFRESULT code) {
    return AafResultText(code);
}

int ConversionThread(const ConversionRequest& request, ConversionClient* client) {
    ConversionStatus status = ConversionStatus::kInputNotOpened;
    ConversionReport* report = request.report;
    LogTarget* const frontEndLog = GetLogTarget();
    FirstErrorKeeper errors(frontEndLog);
    if (report != nullptr) {
        report->input = request.inputPath;
        report->output = request.outputPath;
        report->converted = false;
        report->error.clear();
        report->sequences.clear();
        SetLogTarget(&errors);
    }
    try {
        SetTitleSearchFolders(TitleFoldersFor(request));
        if (OpenAafFile(request.inputPath)) {
            status =
                RunConversion(request.outputPath, request.renameAviToMov, request.portable, report);
        }
    } catch (const std::bad_alloc&) {
        // The conversion ends and the client still hears, whatever went wrong.
        LogErrorQuietly("The conversion was aborted: out of memory.");
        status = ConversionStatus::kAborted;
    } catch (const std::exception& error) {
        LogErrorQuietly(std::string("The conversion was aborted: ") + error.what());
        status = ConversionStatus::kAborted;
    } catch (...) {
        LogErrorQuietly("The conversion was aborted by an unexpected error.");
        status = ConversionStatus::kAborted;
    }
    CloseAafFile();
    if (report != nullptr) {
        SetLogTarget(frontEndLog);
        report->converted = status == ConversionStatus::kSucceeded;
        if (!report->converted) {
            report->error =
                errors.FirstError().empty() ? "the conversion failed" : errors.FirstError();
        }
    }
    if (client != nullptr) {
        client->PostConversionDone(status);
    }
    return 0;
}

bool OpenAafFile(const std::string& inputPath) {
    std::shared_ptr<IAAFFile> file;
    AAFRESULT result = AAFFileOpenExistingRead(inputPath, 0, file);
    if (AAFRESULT_FAILED(result) || !file) {
        std::string why = AafLastOpenError();
        LogLine("Cannot open " + inputPath + ": " + (why.empty() ? SystemErrorText(result) : why),
                kLogError);
        return false;
    }
    g_aafFile = std::move(file);
    g_aafPath = inputPath;
    return true;
}

ConversionStatus RunConversion(const std::string& outputPath, bool renameAviToMov, bool portable,
                               ConversionReport* report) {
    if (IsTheInputFile(outputPath)) {
        LogLine("Cannot save to " + outputPath +
                    ": it is the AAF file being converted. Choose another output file.",
                kLogError);
        return ConversionStatus::kOutputNotSaved;
    }
    // Left over only if an earlier run was not closed; its clip items no longer exist.
    ClearClipRegistry(g_videoClipsByPath);
    ClearClipRegistry(g_audioClipsByPath);
    try {
        return BuildAndSave(outputPath, renameAviToMov, portable, report);
    } catch (const std::bad_alloc&) {
        LogErrorQuietly("The conversion was aborted: out of memory.");
    } catch (const std::exception& error) {
        LogErrorQuietly(std::string("The conversion was aborted: ") + error.what());
    } catch (...) {
        LogErrorQuietly("The conversion was aborted by an unexpected error.");
    }
    return ConversionStatus::kAborted;
}

void CloseAafFile() {
    g_aafHeader.reset();
    g_sourceCache.Clear();
    ClearClipRegistry(g_videoClipsByPath);
    ClearClipRegistry(g_audioClipsByPath);
    if (g_aafFile) {
        g_aafFile->Close();
        g_aafFile.reset();
    }
    g_aafPath.clear();
}

void AddCompositionSequences(FCInterchange& interchange, const IAAFHeader& header) {
    aafSearchCrit_t criteria{};
    criteria.searchTag = kAAFByMobKind;
    criteria.tags.mobKind = kAAFCompMob;
    std::shared_ptr<IEnumAAFMobs> mobs;
    header.GetMobs(&criteria, mobs);
    if (!mobs) {
        return;
    }
    std::shared_ptr<IAAFMob> mob;
    while (AAFRESULT_SUCCEEDED(mobs->NextOne(mob)) && mob) {
        interchange.AddSequence(mob);
        mob.reset();
        // What the next sequence reads is mostly other objects: the pages of this one's need
        // not stay resident beside the model (a long edit's file is as big as its model).
        if (g_aafFile) {
            g_aafFile->ReleaseResidentPages();
        }
    }
}

void SetAafHeader(std::shared_ptr<IAAFHeader> header) {
    g_sourceCache.Clear();  // what another header's chains gave means nothing for this one
    g_aafHeader = std::move(header);
}

void ProcessEffectsAndTransitions(FCInterchange& interchange) {
    TitleDocumentCache titles;
    for (const std::unique_ptr<FCSequence>& sequence : interchange.sequences) {
        for (const std::unique_ptr<FCTrackBase>& track : sequence->tracks) {
            track->NumberItems([&titles](const std::string& path, FCTitleInfo& title) {
                titles.Read(path, title);
            });
        }
    }
}
