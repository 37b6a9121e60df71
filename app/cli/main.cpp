// parvix-cli: the cut and join engines on a console.
#include "ConsoleWindow.h"
#include "DiskErrorTable.h"
#include "JoinOperation.h"
#include "NativeFiles.h"
#include "Platform.h"
#include "SplitOperation.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses: kept apart so that sorting the includes cannot swap them.
#include <shellapi.h>
#endif

namespace {

#ifdef _WIN32
// The C runtime passes the arguments in the ANSI code page, which cannot hold every file name; the
// file services take UTF-8, so the arguments are taken again from the wide command line.
std::vector<std::string> utf8Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(parvix::utf8FromUtf16(wide[i]));
    LocalFree(wide);
    return arguments;
}
#endif

constexpr const char* kUsage =
    "Usage: parvix-cli cut [--yes] [--kb SIZE] SOURCE BASE\n"
    "       parvix-cli join [--yes] DEST PIECE...\n"
    "       parvix-cli --help | --version\n"
    "\n"
    "cut   cuts SOURCE into BASE.001, BASE.002, ... of 1,447,035 bytes each (the \"1.44M\" size),\n"
    "      or of SIZE kilobytes with --kb, and writes Link.bat beside them. It prints the pieces\n"
    "      and then the path that joining them gives back, one per line.\n"
    "join  joins the PIECEs, in the order given, into DEST.\n"
    "\n"
    "Options (anywhere after the sub-command):\n"
    "  --yes       answer Yes to every question (otherwise asked on the terminal; No without one)\n"
    "  --kb SIZE   piece size in kilobytes, read as the \"Customize\" box reads it\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "Messages go to stderr as \"TITLE: text\".\n"
    "Exit status: 0 completed, 1 stopped by a check or a No, 2 failed (an error was reported).\n";

int exitStatus(const parvix::OperationResult& result)
{
    switch (result.outcome) {
    case parvix::Outcome::Completed:
        return 0;
    case parvix::Outcome::Stopped:
        return 1;
    case parvix::Outcome::Failed:
        break;
    case parvix::Outcome::Interrupted:
        return 130;
    }
    // A console user has nothing else to go on when the table has no message for the failure.
    if (result.error && !parvix::diskErrorMessage(result.error->number(), parvix::DiskErrorEntries::All))
        std::fprintf(stderr, "parvix-cli: %s\n", result.error->what());
    return 2;
}

// The engines look for the folder part of a destination as the window's boxes give it, a full path; on a
// console a bare name means the current folder, so it is given one.
std::string inCurrentFolder(const std::string& path)
{
    if (parvix::trimSpaces(path).empty() || path.find(parvix::kSeparator) != std::string::npos)
        return path;
#ifdef _WIN32
    if (path.find_first_of("/:") != std::string::npos)
        return path;
#endif
    return std::string(".") + parvix::kSeparator + path;
}

int usageError(const char* message)
{
    std::fprintf(stderr, "parvix-cli: %s\n\n%s", message, kUsage);
    return 64;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // A drive without its disk is reported in our own words; the system's "There is no disk in the
    // drive" box must not come first, nor at all on a console.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    std::vector<std::string> arguments = utf8Arguments();
    std::vector<char*> pointers;
    for (auto& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    if (!arguments.empty()) {
        argc = static_cast<int>(arguments.size());
        argv = pointers.data();
    }
#endif
    if (argc < 2)
        return usageError("a sub-command is missing");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("parvix-cli %s\n", PARVIX_VERSION);
        return 0;
    }
    if (command != "cut" && command != "join")
        return usageError(("unknown sub-command: " + command).c_str());

    bool yes = false;
    bool customSize = false;
    std::string sizeText;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--yes") {
            yes = true;
        } else if (!optionsEnded && arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!optionsEnded && arg == "--version") {
            std::printf("parvix-cli %s\n", PARVIX_VERSION);
            return 0;
        } else if (!optionsEnded && command == "cut" && (arg == "--kb" || arg.rfind("--kb=", 0) == 0)) {
            if (arg == "--kb") {
                if (i + 1 >= argc)
                    return usageError("--kb needs a size");
                sizeText = argv[++i];
            } else {
                sizeText = arg.substr(5);
            }
            customSize = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg.rfind("--", 0) == 0) {
            return usageError(("unknown option: " + arg).c_str());
        } else {
            operands.push_back(arg);
        }
    }

    auto files = parvix::makeNativeFileServices();
    parvix::ConsoleWindow window(yes);
    if (command == "cut") {
        if (operands.size() != 2)
            return usageError("cut takes SOURCE and BASE");
        parvix::SplitOperation split(window, *files);
        const auto result = split.run({operands[0], inCurrentFolder(operands[1]), !customSize, sizeText});
        if (result.outcome != parvix::Outcome::Stopped) {
            for (const auto& entry : window.joinList())
                std::printf("%s\n", entry.c_str());
            if (window.text4Set())
                std::printf("%s\n", window.text4().c_str());
        }
        return exitStatus(result);
    }

    if (operands.empty())
        return usageError("join takes DEST and the pieces");
    for (std::size_t i = 1; i < operands.size(); ++i)
        window.appendJoinList(operands[i]);
    parvix::JoinOperation join(window, *files);
    return exitStatus(join.run(inCurrentFolder(operands[0])));
}
