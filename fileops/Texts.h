#pragma once

#include <cstdint>
#include <string>

namespace parvix {

// The texts that more than one part of the tool says, each written once. Texts said in one place only
// stand beside their use.

// A file is in the join list already: "Add" of a set meeting one of its pieces there, and a join whose
// destination is one of its pieces.
inline constexpr const char* kAlreadyListedText = "The specify file has already existed in th list";

// Asked before files that fail their checks are joined all the same.
inline constexpr const char* kJoinAnywayText = "Do you want to join them anyway？";

// A notice of what is wrong with a set, and its lines about pieces.
inline constexpr const char* kCheckHeadingText = "Please check the cutted files：";
inline constexpr const char* kMissingText = "These cutted files are missing：";
inline constexpr const char* kWrongLengthText = "These cutted files have a wrong size：";
inline constexpr const char* kDamagedText = "These cutted files are damaged：";

// Pieces rebuilt from the recovery files, or recovery files that rebuild wrong bytes.
inline constexpr const char* kRebuiltText = "These cutted files are rebuilt：";
inline constexpr const char* kWrongRebuildText = "The recovery files do not rebuild them";

// The set's check file cannot be read as one.
std::string notACheckFileText(const std::string& checkName);

// The pieces' total is not the size the check file gives.
std::string totalDiffersText(std::int64_t total, const std::string& checkName, std::int64_t size);

} // namespace parvix
