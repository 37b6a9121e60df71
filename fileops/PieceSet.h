#pragma once

#include "CheckFile.h"
#include "FileServices.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvix {

class StopRequest;

struct Piece
{
    std::string path;
    std::int64_t number = 0;
    std::int64_t length = 0;
};

// The check file beside a set, as far as it is there.
struct SetCheckFile
{
    std::string path;                 // empty when the set's names leave no place for one
    bool present = false;             // an ordinary file of that name is there
    std::optional<CheckFile> content; // what it says, when it reads as a check file
};

// The check file of the set a piece belongs to: D/report$txt.crc for D/report$txt.001, .042 or .1000.
SetCheckFile findSetCheckFile(FileServices& files, const std::string& piecePath);

// Names of files that something is said of: the first few, and how many there are in all.
struct NamedFiles
{
    std::vector<std::string> first;
    std::int64_t count = 0;
    void add(const std::string& name);
    bool empty() const { return count == 0; }
    // "a, b, c and N more".
    std::string text() const;
    // A line of a notice: a line break, the heading, the names; nothing when there are none.
    std::string line(const char* heading) const;
};

// A set of pieces as "Add" of its first piece finds it, and what is wrong with it.
//
// Beside the first piece (a path ending in "001", or ".000" for a set numbered from zero) it takes the names written as
// the naming rule writes them: the first piece's name up to its number, then the number with at least as many digits as
// the first piece's (".001" … ".999", ".1000"; ".0001" sets keep four), in number order; ".000" comes first, for sets
// numbered from zero. With a check file it takes them until their lengths reach its size, so that pieces of an older,
// longer cut into the same names stay out.
class PieceSet
{
public:
    static PieceSet find(FileServices& files, const std::string& firstPiece);

    const std::vector<Piece>& pieces() const { return m_pieces; }
    const SetCheckFile& checkFile() const { return m_checkFile; }
    // The pieces' lengths added up.
    std::int64_t total() const { return m_total; }

    // The pieces cannot give back the original: a number is missing, a piece has the wrong length, or
    // their total is not the check file's size.
    bool broken() const;
    // One notice of everything found, for the window; empty for a sound set.
    std::string notice() const;
    // The CRC-32 of the pieces' bytes in their order, as joining them would give it. A stop asked for
    // meanwhile throws StopRequested.
    std::uint32_t checksum(FileServices& files, const StopRequest* stop) const;

private:
    // `stem` is the pieces' name before their number, which has at least `width` digits.
    void findProblems(const std::string& stem, std::size_t width);

    std::vector<Piece> m_pieces;
    SetCheckFile m_checkFile;
    NamedFiles m_missing;
    NamedFiles m_wrongLength;
    NamedFiles m_tooLong;
    NamedFiles m_leftOut;
    NamedFiles m_leftOver;
    std::int64_t m_total = 0;
};

} // namespace parvix
