#include "CommandLine.h"

#include "ByteSize.h"
#include "NativeFiles.h"

#include <CLI/CLI.hpp>
#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses: kept apart so that sorting the includes cannot swap them.
#include <shellapi.h>
#endif

#include <algorithm>
#include <charconv>
#include <limits>

namespace parvix {

const char* const kUsage =
    "Usage: parvix-cli cut [-y] [-q] [-b SIZE | --kb KB | -n N] [--recovery N] SOURCE BASE\n"
    "       parvix-cli join [-y] [-q] [--join-damaged] DEST FIRST\n"
    "       parvix-cli join [-y] [-q] [--join-damaged] [--as-listed] DEST PIECE...\n"
    "       parvix-cli verify [-q] FIRST\n"
    "       parvix-cli repair [-y] [-q] FIRST\n"
    "       parvix-cli --help | --version\n"
    "\n"
    "cut     cuts SOURCE into BASE.001, BASE.002, ... of 1,447,035 bytes each (the \"1.44M\" size),\n"
    "        or of the size that -b, --kb or -n gives, and writes Link.bat, the check file BASE.crc and\n"
    "        the PAR2 index BASE.par2 beside them (and with --recovery BASE.vol0+N.par2). It prints\n"
    "        the pieces and then the path that joining them gives back, one per line. SOURCE - is\n"
    "        standard input, read to its end in one pass (tar c dir | parvix-cli cut -y - 'dir$tar').\n"
    "join    joins into DEST the whole set of the first piece FIRST (BASE.001, or BASE.000 for a set\n"
    "        numbered from zero), as \"Add\" finds it, or the PIECEs in the order given, which must be\n"
    "        the order of their numbers, none missing, unless --as-listed is given. With the set's index\n"
    "        each piece is checked as it is copied and bad ones are rebuilt from the recovery files; with\n"
    "        its check file, the joined bytes are checked against it. A set that fails its checks is\n"
    "        joined only with --join-damaged. DEST - is standard output\n"
    "        (parvix-cli join -y - 'dir$tar.001' | tar x).\n"
    "verify  checks the set of FIRST without writing anything: its pieces, and their bytes against\n"
    "        the index or the check file; names missing and damaged pieces and the recovery there is\n"
    "        for them. It prints the check file's lines for what the set joins to.\n"
    "repair  rebuilds the missing and damaged pieces of the set of FIRST in place, from the set's\n"
    "        recovery files.\n"
    "\n"
    "Options (before or after the operands; -- ends them):\n"
    "  -y, --yes           answer Yes to the questions of a sound run (otherwise asked on the\n"
    "                      terminal; No without one)\n"
    "  -q, --quiet         no progress line, and no echo of the questions that --yes answers\n"
    "  -b, --size SIZE     piece size in bytes, as split -b reads it: K, M, G, T, P, E are powers of\n"
    "                      1,024 (KiB, MiB, ... alike), KB, MB, GB, ... powers of 1,000; or floppy\n"
    "                      (1,447,035 bytes) or fat32 (4,294,967,295 bytes)\n"
    "      --kb KB         piece size in kilobytes, read as the \"Customize\" box reads it (1.5 is\n"
    "                      1,536 bytes)\n"
    "  -n, --pieces N      cut into N pieces: SOURCE's length divided by N, rounded up, is the size\n"
    "      --recovery N    also write recovery data able to rebuild any N pieces\n"
    "      --join-damaged  join a set that fails its checks (--yes does not answer that question)\n"
    "      --as-listed     join the pieces in the order given, whatever their numbers\n"
    "  -h, --help          show this text\n"
    "      --version       show the version\n"
    "\n"
    "Messages go to stderr as \"TITLE: text\", and so does progress on a terminal. Ctrl+C (or SIGTERM)\n"
    "stops a cut or a join cleanly: a cut keeps its whole pieces, a join leaves DEST as it was.\n"
    "Arguments are taken as given, spaces and all. A failure of the disk is said as the window says it,\n"
    "then as \"parvix-cli: PATH: the system's reason\".\n"
    "Exit status: 0 completed and sound; 1 stopped by a check or a No, or a usage error; 2 failed (an\n"
    "error was reported), the bytes are not the original's, or pieces are bad and not rebuilt;\n"
    "3 (verify, repair) nothing to check the bytes against (no index, and no check file); 130 stopped\n"
    "by Ctrl+C.\n";

namespace {

using Command = CommandLine::Command;

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

// A count of pieces: a whole number from 1.
std::int64_t parseCount(const std::string& text, const char* what)
{
    std::int64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1)
        throw UsageError("invalid " + std::string(what) + " " + quoted(text) + ": it is not a whole number from 1 to " +
                         std::to_string(std::numeric_limits<std::int64_t>::max()));
    return count;
}

// The words that a sub-command takes: `fixed` of them, or with `more` any number from there on.
void checkOperands(const char* command, const std::vector<std::string>& operands, const char* names, std::size_t fixed,
                   bool more)
{
    if (operands.size() < fixed)
        throw UsageError(std::string(command) + " takes " + names);
    if (!more && operands.size() > fixed)
        throw UsageError(std::string(command) + " takes " + names + "; " + quoted(operands[fixed]) +
                         " is one too many");
}

// The names of an option as the help text gives them, from a name of it that CLI11 uses in a message.
std::string optionNames(const CLI::App& app, const std::string& name)
{
    for (const CLI::App* command : app.get_subcommands()) {
        for (const std::string& candidate : {name, "--" + name}) {
            const CLI::Option* option = command->get_option_no_throw(candidate);
            if (!option)
                continue;
            const std::string longName = "--" + option->get_lnames().front();
            if (option->get_snames().empty())
                return longName;
            return "-" + option->get_snames().front() + " (" + longName + ")";
        }
    }
    return name;
}

// CLI11 says "--size: 1 required TEXT missing" of an option without its value, and "yes was given a
// disallowed flag override" of --yes=no.
std::string describe(const CLI::App& app, const CLI::ParseError& error)
{
    const std::string message = error.what();
    constexpr std::string_view kOverride = " was given a disallowed flag override";
    if (message.ends_with(kOverride))
        return "option " + optionNames(app, message.substr(0, message.size() - kOverride.size())) + " takes no value";
    const auto colon = message.find(": ");
    if (colon != std::string::npos && message.ends_with(" missing"))
        return "option " + optionNames(app, message.substr(0, colon)) + " needs a value";
    return message;
}

} // namespace

std::vector<std::string> commandLineArguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
#ifdef _WIN32
    (void)argc, (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(utf8FromUtf16(wide[i]));
    LocalFree(wide);
#else
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
#endif
    return arguments;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    // "--" is taken here, not by CLI11, which loses the words after it when an operand came before.
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");

    CommandLine line;
    bool help = false;
    bool version = false;
    std::string size;
    std::string kilobytes;
    std::string pieces;
    std::string recovery;

    CLI::App app("", "parvix-cli");
    // Our own help and version flags, and unknown words kept for our own messages.
    app.set_help_flag();
    app.allow_extras();
    app.require_subcommand(0, 1);
    auto flag = [](CLI::App* command, const char* names, bool& value) {
        command->add_flag(names, value)->disable_flag_override();
    };
    flag(&app, "-h,--help", help);
    flag(&app, "--version", version);
    auto subcommand = [&](const char* name) {
        CLI::App* command = app.add_subcommand(name);
        command->set_help_flag();
        command->allow_extras();
        flag(command, "-h,--help", help);
        flag(command, "--version", version);
        command->add_option("operands", line.operands);
        return command;
    };
    auto option = [](CLI::App* command, const char* names, std::string& value) {
        // A later value replaces an earlier one, as with most programs.
        return command->add_option(names, value)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    };

    CLI::App* cut = subcommand("cut");
    flag(cut, "-y,--yes", line.yes);
    flag(cut, "-q,--quiet", line.quiet);
    CLI::Option* sizeOption = option(cut, "-b,--size", size);
    CLI::Option* kilobytesOption = option(cut, "--kb", kilobytes);
    CLI::Option* piecesOption = option(cut, "-n,--pieces", pieces);
    CLI::Option* recoveryOption = option(cut, "--recovery", recovery);
    CLI::App* join = subcommand("join");
    flag(join, "-y,--yes", line.yes);
    flag(join, "-q,--quiet", line.quiet);
    flag(join, "--join-damaged", line.joinDamaged);
    flag(join, "--as-listed", line.asListed);
    CLI::App* verify = subcommand("verify");
    flag(verify, "-q,--quiet", line.quiet);
    CLI::App* repair = subcommand("repair");
    flag(repair, "-y,--yes", line.yes);
    flag(repair, "-q,--quiet", line.quiet);
    CLI::App* helpCommand = subcommand("help");

    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(std::make_reverse_iterator(optionsEnd), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        throw UsageError(describe(app, error));
    }

    const std::vector<CLI::App*> chosen = app.get_subcommands();
    if (help || (!chosen.empty() && chosen.front() == helpCommand))
        return {};
    if (version) {
        line = {};
        line.command = Command::Version;
        return line;
    }
    for (const CLI::App* command : {&app, chosen.empty() ? &app : chosen.front()}) {
        const std::vector<std::string> unknown = command->remaining();
        if (unknown.empty())
            continue;
        const std::string& first = unknown.front();
        if (first.size() > 1 && first.starts_with('-'))
            throw UsageError("unrecognized option " + quoted(first));
        throw UsageError("unknown sub-command " + quoted(first));
    }
    if (chosen.empty())
        throw UsageError("a sub-command is missing");
    if (optionsEnd != arguments.end())
        line.operands.insert(line.operands.end(), optionsEnd + 1, arguments.end());

    if ((sizeOption->count() > 0) + (kilobytesOption->count() > 0) + (piecesOption->count() > 0) > 1)
        throw UsageError("only one of -b (--size), --kb and -n (--pieces) may be given");
    try {
        if (sizeOption->count())
            line.pieceSize = parseByteSize(size);
        if (kilobytesOption->count())
            line.pieceSize = parseKilobytes(kilobytes);
    } catch (const std::invalid_argument& error) {
        throw UsageError(error.what());
    }
    if (piecesOption->count())
        line.pieceCount = parseCount(pieces, "number of pieces");
    if (recoveryOption->count())
        line.recovery = parseCount(recovery, "number of pieces to recover");

    if (chosen.front() == cut) {
        line.command = Command::Cut;
        checkOperands("cut", line.operands, "SOURCE and BASE", 2, false);
        // "-" is standard input, whose length is known only once it is read.
        if (line.operands[0] == "-" && line.pieceCount)
            throw UsageError("-n (--pieces) needs the length of SOURCE, which standard input does not tell");
    } else if (chosen.front() == join) {
        line.command = Command::Join;
        checkOperands("join", line.operands, "DEST and the first piece, or DEST and the pieces", 2, true);
    } else {
        line.command = chosen.front() == verify ? Command::Verify : Command::Repair;
        const char* name = chosen.front() == verify ? "verify" : "repair";
        checkOperands(name, line.operands, "the first piece of a set", 1, false);
        if (line.operands[0] == "-")
            throw UsageError(std::string(name) + " takes the first piece of a set, not standard input");
    }
    return line;
}

} // namespace parvix
