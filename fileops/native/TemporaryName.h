#pragma once

#include "Internal.h"

#include <random>
#include <string>
#include <string_view>

namespace parvix {

// Temporary files end in this, so that a leftover is known for ours and no file of the user's is ever
// taken for one.
inline constexpr std::string_view kTemporarySuffix = ".parvix-part";

// A name to try for a new file that is to take `name`'s place in its folder: hidden where a leading
// "." hides, named after the file it will become, so that one left behind by a power cut is seen for what
// it is, and short enough for any file system's name limit.
inline std::string temporaryName(const std::string& name)
{
    // One source for each thread: opening one costs more than making the name, and a cut makes a name
    // for every piece.
    thread_local std::random_device random;
    constexpr std::size_t kNameKept = 200;
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    // Appended piece by piece: GCC 12 warns, wrongly, of an overlap in "." + name when optimising.
    std::string candidate(1, '.');
    candidate.append(name, 0, kNameKept);
    candidate += '.';
    for (int i = 0; i < 6; ++i)
        candidate += kLetters[random() % (sizeof kLetters - 1)];
    candidate += kTemporarySuffix;
    return candidate;
}

// Whether a name is one that temporaryName() gives.
inline bool isTemporaryName(std::string_view name)
{
    constexpr std::size_t kRandom = 6;
    if (name.size() < 2 + 1 + kRandom + kTemporarySuffix.size() || name.front() != '.' ||
        name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix)
        return false;
    const std::string_view random = name.substr(name.size() - kTemporarySuffix.size() - kRandom, kRandom);
    if (name[name.size() - kTemporarySuffix.size() - kRandom - 1] != '.')
        return false;
    for (const char c : random) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Names are tried until one is free: this many, for a folder full of leftovers.
inline constexpr int kTemporaryNameAttempts = 100;

// What a failure to make a temporary file says was being done, before the destination's path.
inline constexpr const char* kCreateTemporaryAction = "create a file beside";

} // namespace parvix
