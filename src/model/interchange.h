#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/sequence.h"
#include "xmeml/xml_document.h"

/// The model root of one conversion: its sequences and the document they are written into.
class FCInterchange {
  public:
    FCInterchange() = default;
    ~FCInterchange() = default;
    FCInterchange(const FCInterchange&) = delete;
    FCInterchange& operator=(const FCInterchange&) = delete;

    /// Builds the sequence of one composition mob (with all its tracks and clip items) and
    /// appends it to `sequences`.
    void AddSequence(const std::shared_ptr<IAAFMob>& mob);

    /// Writes the import options and every sequence under the root, then saves the document to
    /// `outputPath` (atomically) and tells how the save ended.
    SaveStatus WriteDocument(const std::string& outputPath);

    /// One sequence per composition mob, in enumeration order; never holds null.
    std::vector<std::unique_ptr<FCSequence>> sequences;
    /// The interchange document being built.
    FCXmlDocument xml;
};
