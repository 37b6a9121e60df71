#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvix {

// ".001" … ".009", ".010" … ".099", ".100" and on, without limit (".1000").
std::string pieceSuffix(std::int64_t number);
std::string piecePath(std::string_view base, std::int64_t number);

// How many pieces of `pieceLength` (more than 0) bytes `length` bytes make, the last one shorter where
// it must be; written so that no length a check file may give overflows.
constexpr std::int64_t pieceCount(std::int64_t length, std::int64_t pieceLength)
{
    return length / pieceLength + (length % pieceLength != 0 ? 1 : 0);
}

// Turns the path of a first piece back into the path of the joined file: the last "$" of the file name
// becomes "." and the suffix goes (D/movie$avi.001 gives D/movie.avi); without a "$" in the file name,
// everything before the last "." (D$E/movie.001 gives D$E/movie). Nothing when it cannot be formed (no
// "." after that "$", or no "." at all).
std::optional<std::string> proposeDestination(std::string_view piece);

// The part of a path after its last separator.
std::string GetFileName(std::string_view sFileName);

// Reads the number at the start of a text the way a leading-number parse does: spaces anywhere are
// skipped (spaces only, not tabs or line breaks), then an optional sign, digits with "." as the decimal point, an
// optional exponent; reading stops at the first character that cannot continue the number. No number at the start reads
// as 0.
double readLeadingNumber(std::string_view text);

// The piece size in bytes for a size text in kilobytes (the text as typed): nothing when the text is
// empty, reads as 0 or less, rounds to 0 bytes or does not fit a signed 64-bit count of bytes.
std::optional<std::int64_t> pieceSizeFromKilobytes(std::string_view sizeText);

// The number of a piece by its name: all of the text after the last "." when that is all digits,
// otherwise the leading number of the last three characters. 0 or less means "not a piece".
double pieceNumberOfName(std::string_view name);

// A first piece as the desktop hands it over: the last extension of the file name is all digits, at
// least three of them (where "Add" takes a name as a whole set), and numbers 1, or 0 for a set numbered
// from zero: ".001", ".0001", ".000".
bool isFirstPieceName(std::string_view path);

// The destination base that the source browse derives: the last "." of the file name becomes "$"
// (report.txt gives report$txt, photo.jpeg photo$jpeg), so that the pieces' proposal gives the name
// back; a file name without a "." gives the path as it is.
std::string deriveDestinationBase(std::string_view path);

} // namespace parvix
