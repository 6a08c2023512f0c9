#pragma once

#include <memory>
#include <string>
#include <vector>

#include "aaf/AAF.h"
#include "job/conversion_report.h"
#include "model/source_cache.h"

/// Everything one conversion needs from its front end, copied when the conversion starts.
struct ConversionRequest {
    std::string inputPath;
    std::string outputPath;
    bool renameAviToMov = true;
    /// Writes the form other importers read whole: file URLs, complete effects and rates,
    /// track states, one description per media file and sequence. The log is the same.
    bool portable = false;
    /// Extra folders searched for title documents that are not found where the AAF file says.
    std::vector<std::string> titleFolders{};
    /// Filled with what went in and what came out, also when the conversion fails; not owned,
    /// may be null.
    ConversionReport* report = nullptr;
};

/// How a conversion ended.
enum class ConversionStatus {
    kSucceeded,       ///< the document was written and "Finished!" logged
    kInputNotOpened,  ///< the AAF file could not be opened; nothing written
    kNoHeader,        ///< the file had no header; nothing written
    kOutputNotSaved,  ///< the document could not be saved; the target is untouched
    kAborted,         ///< an exception ended the conversion; nothing written
};

/// The front end's side of `ConversionThread`: it is told when the conversion has ended.
/// `PostConversionDone` must not wait for the front end (the dialog posts, it does not send).
class ConversionClient {
  public:
    virtual ~ConversionClient() = default;
    virtual void PostConversionDone(ConversionStatus status) = 0;
};

bool LoadAafLibrary();
bool UnloadAafLibrary();

/// Runs one whole conversion: open, convert, close, then `client->PostConversionDone`.
/// Returns 0 like a thread entry. `client` may be null (nothing is posted then).
int ConversionThread(const ConversionRequest& request, ConversionClient* client);

/// The steps of `ConversionThread`, also callable one by one.
bool OpenAafFile(const std::string& inputPath);
/// `report`, when given, receives the counts of the sequences built, also when saving fails.
ConversionStatus RunConversion(const std::string& outputPath, bool renameAviToMov,
                               bool portable = false, ConversionReport* report = nullptr);
void CloseAafFile();

/// The text for a result code: never empty, it says what failed and why.
std::string SystemErrorText(AAFRESULT code);

class FCInterchange;

/// The open input file, from `OpenAafFile` to `CloseAafFile`; null otherwise.
extern std::shared_ptr<IAAFFile> g_aafFile;
/// Makes `header` the conversion's header (null forgets it).
void SetAafHeader(std::shared_ptr<IAAFHeader> header);

/// Builds one sequence per composition mob of `header`, in enumeration order; `g_aafHeader`
/// must be set, the clip items look their sources up in it.
void AddCompositionSequences(FCInterchange& interchange, const IAAFHeader& header);

/// Numbers the items of every track and lets every clip item resolve its links and titles;
/// runs once all sequences are built and before any path is renamed.
void ProcessEffectsAndTransitions(FCInterchange& interchange);
