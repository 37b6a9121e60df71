#include "CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>

namespace parvix {

// What a failing case shows of a parsed command line.
void PrintTo(const CommandLine& line, std::ostream* out)
{
    *out << "{command " << static_cast<int>(line.command) << ", yes " << line.yes << ", quiet " << line.quiet
         << ", pieceSize " << line.pieceSize.value_or(-1) << ", pieceCount " << line.pieceCount.value_or(-1)
         << ", recovery " << line.recovery << ", joinDamaged " << line.joinDamaged << ", asListed " << line.asListed
         << ", operands";
    for (const auto& operand : line.operands)
        *out << " '" << operand << "'";
    *out << "}";
}

namespace {

using Command = CommandLine::Command;
using Arguments = std::vector<std::string>;

CommandLine commandLine(Command command, std::vector<std::string> operands)
{
    CommandLine line;
    line.command = command;
    line.operands = std::move(operands);
    return line;
}

TEST(CommandLine, ReadsEachSubCommandWithItsOptionsAnywhere)
{
    auto cut = [](auto change) {
        CommandLine line = commandLine(Command::Cut, {"src", "base"});
        change(line);
        return line;
    };
    CommandLine join = commandLine(Command::Join, {"dest", "p.002", "p.001"});
    join.quiet = join.joinDamaged = join.asListed = true;
    CommandLine repair = commandLine(Command::Repair, {"s.001"});
    repair.yes = true;
    const struct
    {
        Arguments arguments;
        CommandLine expected;
    } cases[] = {
        {{"cut", "src", "--kb", "1.5", "base", "-y"}, cut([](CommandLine& l) {
             l.yes = true;
             l.pieceSize = 1536;
         })},
        {{"cut", "--kb=1", "src", "--kb", "2", "base"}, cut([](CommandLine& l) { l.pieceSize = 2048; })},
        {{"cut", "-yq", "-b2KiB", "src", "--", "--yes"},
         [] {
             CommandLine line = commandLine(Command::Cut, {"src", "--yes"});
             line.yes = line.quiet = true;
             line.pieceSize = 2048;
             return line;
         }()},
        {{"cut", "--size=floppy", "src", "base"}, cut([](CommandLine& l) { l.pieceSize = 1447035; })},
        {{"cut", "-n", "4", "--recovery", "2", "src", "base"}, cut([](CommandLine& l) {
             l.pieceCount = 4;
             l.recovery = 2;
         })},
        {{"join", "--as-listed", "dest", "p.002", "--join-damaged", "p.001", "-q"}, join},
        {{"join", "dest", "cut"}, commandLine(Command::Join, {"dest", "cut"})},
        {{"verify", "-q", "s.001"},
         [] {
             CommandLine line = commandLine(Command::Verify, {"s.001"});
             line.quiet = true;
             return line;
         }()},
        {{"repair", "s.001", "--yes"}, repair},
        {{"cut", "src", "-h"}, CommandLine()},
        {{"help"}, CommandLine()},
        {{"join", "--version"}, commandLine(Command::Version, {})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_EQ(parseCommandLine(c.arguments), c.expected);
    }
}

TEST(CommandLine, AWrongCommandLineNamesWhatIsWrong)
{
    const struct
    {
        Arguments arguments;
        std::string message;
    } cases[] = {
        {{}, "a sub-command is missing"},
        {{"split", "a"}, "unknown sub-command 'split'"},
        {{"cut", "--bogus", "a", "b"}, "unrecognized option '--bogus'"},
        {{"verify", "--yes", "a.001"}, "unrecognized option '--yes'"},
        {{"cut", "a", "b", "--kb"}, "option --kb needs a value"},
        {{"cut", "a", "b", "-b"}, "option -b (--size) needs a value"},
        {{"join", "--as-listed=no", "d", "a.001"}, "option --as-listed takes no value"},
        {{"cut", "-b", "1K", "-n", "3", "a", "b"}, "only one of -b (--size), --kb and -n (--pieces) may be given"},
        {{"cut", "-b", "1.5M", "a", "b"}, "invalid piece size '1.5M': '.5M' is not a unit"},
        {{"cut", "--kb", "1M", "a", "b"}, "invalid size in kilobytes '1M': it is not a number"},
        {{"cut", "-n", "0", "a", "b"},
         "invalid number of pieces '0': it is not a whole number from 1 to 9223372036854775807"},
        {{"cut", "a"}, "cut takes SOURCE and BASE"},
        {{"cut", "a", "b", "c"}, "cut takes SOURCE and BASE; 'c' is one too many"},
        {{"join", "dest"}, "join takes DEST and the first piece, or DEST and the pieces"},
        {{"verify", "a.001", "--", "b.001"}, "verify takes the first piece of a set; 'b.001' is one too many"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        try {
            const CommandLine line = parseCommandLine(c.arguments);
            ADD_FAILURE() << "accepted as " << ::testing::PrintToString(line);
        } catch (const UsageError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

} // namespace
} // namespace parvix
