#pragma once

#include <cstdint>
#include <string>

namespace parvix {

// The texts of the engines, each written once: first those that more than one part of the tool says,
// then each engine's own, then those built around names and numbers that more than one part says.
// Other texts built around names and numbers stand beside their use.

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

// The disk-error box (DiskErrorTable.cpp). Line breaks in messages are a lone carriage return.
inline constexpr const char* kNoDiskText = "The specify drive cann't to be used\r\rNo disk in the drive";
inline constexpr const char* kFileCannotBeWrittenText = "The file cann't to be written!";
inline constexpr const char* kDiskIoText = "DiskI/0 error";
inline constexpr const char* kDiskFullText = "The disk room is not enough";
inline constexpr const char* kProtectedText = "Disk is protected or file is protected";
inline constexpr const char* kDiskErrorText = "Disk error";

// A join (JoinOperation.cpp).
inline constexpr const char* kSpecifyNameText = "Please specify a file name !";
inline constexpr const char* kEnterNameText = "Please enter the file name";
inline constexpr const char* kJoinPathMissingText = "The specify path is not existed!";
inline constexpr const char* kAddPiecesText = "Please add the cutted files";
inline constexpr const char* kBesideTheSetText = "The specify file is one of the cutted files，Please rename";
inline constexpr const char* kCannotRebuildText = "The cutted files cannot be rebuilt!";

// A cut (SplitOperation.cpp).
inline constexpr const char* kSelectFileText = "Please select a file to be cutted";
inline constexpr const char* kSpecifyDestinationText = "Please specify destination file name";
inline constexpr const char* kDestinationExistsText = "The specify destination file name has existed，Please rename";
inline constexpr const char* kSplitPathMissingText = "The specify destination path has not existed!";
inline constexpr const char* kInvalidSizeText = "Invalid cutted file size value!";
inline constexpr const char* kTooSmallText = "The file you want to split is smaller than the size you specified";
inline constexpr const char* kNoRecoveryText = "The cutted files are more than 32768，no recovery file is written";
inline constexpr const char* kNameTooLongText = "The name of the cutted files is too long，no recovery file is written";

// The check and the repair of a set (SetChecks.cpp).
inline constexpr const char* kNotCheckedText =
    "There is no check file beside the cutted files，their bytes are not checked";
inline constexpr const char* kNoIndexText = "There is no index beside the cutted files，they cannot be repaired";
inline constexpr const char* kNotSoundText = "The cutted files are not sound!";
inline constexpr const char* kSoundText = "The cutted files are sound，nothing is to be repaired";

// Asked before a file is replaced.
std::string replaceQuestionText(const std::string& path);

// The set's check file cannot be read as one.
std::string notACheckFileText(const std::string& checkName);

// The pieces' total is not the size the check file gives.
std::string totalDiffersText(std::int64_t total, const std::string& checkName, std::int64_t size);

} // namespace parvix
