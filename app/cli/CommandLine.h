#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace parvix {

// What parvix-cli is asked to do, as its arguments say it.
struct CommandLine
{
    enum class Command
    {
        Help,
        Version,
        Cut,
        Join,
        Verify,
        Repair,
    };

    Command command = Command::Help;
    bool yes = false;   // -y, --yes: the questions of a sound run are answered Yes
    bool quiet = false; // -q, --quiet: no progress line, no echo of the questions --yes answers
    // A cut's piece size in bytes (-b, --size or --kb), or the number of pieces to cut into (-n, --pieces);
    // neither: the floppy size.
    std::optional<std::int64_t> pieceSize;
    std::optional<std::int64_t> pieceCount;
    std::int64_t recovery = 0; // --recovery: how many pieces the recovery data can rebuild, 0 for none
    bool joinDamaged = false;  // --join-damaged
    bool asListed = false;     // --as-listed
    std::vector<std::string> operands;

    bool operator==(const CommandLine&) const = default;
};

// A command line that cannot be followed; what() says what is wrong with it, naming the argument.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The arguments that follow the program's name, in UTF-8. On Windows they are taken from the wide
// command line: the C runtime's are in the ANSI code page, which cannot hold every file name.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Reads the arguments that follow the program's name. Options may stand before or after the operands
// of a sub-command; "--" ends them. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
extern const char* const kUsage;

} // namespace parvix
