#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "aaf/AAF.h"

namespace tessel::aafinfo {

/// What an AAF file holds, for people and scripts: the identification, every composition mob in
/// enumeration order with its slots and components, and the master and source mobs the
/// compositions reference (with their descriptors). On failure `code` is the open's result and
/// `error` its message; the report is then empty.
struct Report {
    AAFRESULT code = AAFRESULT_SUCCESS;
    std::string error;
    nlohmann::ordered_json json;
};

Report BuildReport(const std::string& utf8Path);

/// The report as indented text, one fact per line.
std::string FormatText(const nlohmann::ordered_json& report);

/// A mob id in the SMPTE UMID text form ("urn:smpte:umid:060a2b34.…").
std::string MobIdText(const aafMobID_t& id);
std::string UidText(const aafUID_t& id);

}  // namespace tessel::aafinfo
