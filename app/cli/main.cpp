// parvix-cli: the cut and join engines on a console.
#include "CheckFile.h"
#include "ConsoleWindow.h"
#include "DiskErrorTable.h"
#include "JoinOperation.h"
#include "Naming.h"
#include "NativeFiles.h"
#include "PieceSet.h"
#include "Platform.h"
#include "SplitOperation.h"
#include "StopRequest.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses: kept apart so that sorting the includes cannot swap them.
#include <shellapi.h>
#else
#include <signal.h>
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
    "       parvix-cli join [--yes] [--join-damaged] DEST FIRST\n"
    "       parvix-cli join [--yes] [--join-damaged] [--as-listed] DEST PIECE...\n"
    "       parvix-cli verify FIRST\n"
    "       parvix-cli --help | --version\n"
    "\n"
    "cut     cuts SOURCE into BASE.001, BASE.002, ... of 1,447,035 bytes each (the \"1.44M\" size),\n"
    "        or of SIZE kilobytes with --kb, and writes Link.bat and the check file BASE.crc beside\n"
    "        them. It prints the pieces and then the path that joining them gives back, one per line.\n"
    "join    joins into DEST the whole set of the first piece FIRST (BASE.001, or BASE.000 for a set\n"
    "        numbered from zero), as \"Add\" finds it, or the PIECEs in the order given, which must be\n"
    "        the order of their numbers, none missing, unless --as-listed is given. With the set's\n"
    "        check file, the joined bytes are checked against it.\n"
    "verify  checks the set of FIRST without writing anything: its pieces, and their bytes against\n"
    "        the check file. It prints the check file's lines for what the set joins to.\n"
    "\n"
    "Options (anywhere after the sub-command):\n"
    "  --yes           answer Yes to the questions of a sound run (otherwise asked on the terminal;\n"
    "                  No without one)\n"
    "  --join-damaged  join pieces that failed their checks all the same (otherwise answered No)\n"
    "  --kb SIZE       piece size in kilobytes, read as the \"Customize\" box reads it\n"
    "  --as-listed     join the pieces as given, whatever their numbers\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "\n"
    "Messages go to stderr as \"TITLE: text\". Ctrl+C (or SIGTERM) stops a cut or a join cleanly: a cut\n"
    "keeps its whole pieces, a join leaves DEST as it was.\n"
    "Exit status: 0 completed (for verify: checked and sound), 1 stopped by a check or a No, 2 failed\n"
    "(an error was reported, or the bytes are not the original's), 3 verify had nothing to check the\n"
    "bytes against (no check file, or one it cannot read), 130 stopped by Ctrl+C.\n";

constexpr const char* kJoinAnyway = "Do you want to join them anyway？";

// Asked from a signal handler; the engines look at it between two chunks of their copy.
parvix::StopRequest stopRequest;

#ifdef _WIN32
BOOL WINAPI onConsoleControl(DWORD)
{
    // A second one goes on to the system's handler, which ends the program.
    if (stopRequest.requested())
        return FALSE;
    stopRequest.request();
    return TRUE;
}
#else
extern "C" void onStopSignal(int)
{
    stopRequest.request();
}
#endif

// Ctrl+C and SIGTERM stop the operation cleanly; a second one ends the program at once.
void stopOnSignals()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on the terminal gives up, and is answered No.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction previous = {};
        // A background job of a shell ignores SIGINT, and so do we then.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

int exitStatus(const parvix::OperationResult& result)
{
    switch (result.outcome) {
    case parvix::Outcome::Completed:
        return result.notOriginal ? 2 : 0;
    case parvix::Outcome::Stopped:
        // Ctrl+C at a question ends it as No.
        return stopRequest.requested() ? 130 : 1;
    case parvix::Outcome::Failed:
        break;
    case parvix::Outcome::Interrupted:
        return 130;
    }
    // The table's message names no file: a console user is told which one failed, and why.
    if (result.error) {
        const auto& error = *result.error;
        if (!error.path().empty())
            std::fprintf(stderr, "parvix-cli: %s: %s\n", error.path().c_str(), error.reason().c_str());
        else
            std::fprintf(stderr, "parvix-cli: %s\n", error.what());
    }
    return 2;
}

// The engines look for the folder part of a destination as the window's boxes give it, a full path; on a
// console a bare name means the current folder, so it is given one.
std::string inCurrentFolder(const std::string& path)
{
    if (path.empty() || path.find(parvix::kSeparator) != std::string::npos)
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

// A shell's glob lists .1000 before .101, and a list typed by hand may skip or repeat a piece: such a list
// would join into a wrong file. Names without a number say nothing about the order.
int checkNumberOrder(const std::vector<std::string>& pieces)
{
    double last = 0;
    std::string lastPiece;
    for (const auto& piece : pieces) {
        const std::string name = parvix::GetFileName(piece);
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || dot + 1 == name.size() ||
            name.find_first_not_of("0123456789", dot + 1) != std::string::npos)
            continue;
        const double number = parvix::pieceNumberOfName(name);
        if (!lastPiece.empty() && number <= last) {
            std::fprintf(stderr,
                         "parvix-cli: %s comes after %s, not in the order of their numbers; give the pieces in that "
                         "order, or add --as-listed to join them as given\n",
                         piece.c_str(), lastPiece.c_str());
            return 1;
        }
        if (!lastPiece.empty() && number > last + 1) {
            std::fprintf(stderr,
                         "parvix-cli: a piece is missing between %s and %s; give every piece, or add --as-listed to "
                         "join them as given\n",
                         lastPiece.c_str(), piece.c_str());
            return 1;
        }
        last = number;
        lastPiece = piece;
    }
    return 0;
}

constexpr const char* kNotChecked = "There is no check file beside the cutted files，their bytes are not checked";

// The whole set of a first piece, as "Add" finds it, with what is wrong with it said first. A set that
// cannot give back its original is joined only when the user wants it all the same.
std::optional<parvix::PieceSet> findSet(parvix::FileServices& files, parvix::ConsoleWindow& window,
                                        const std::string& first, bool& notOriginal)
{
    auto set = parvix::PieceSet::find(files, first);
    if (const std::string notice = set.notice(); !notice.empty())
        window.messageBox(notice, parvix::BoxStyle::Notice, parvix::BoxTitle::Parvix);
    if (!set.checkFile().present && !set.pieces().empty())
        window.messageBox(kNotChecked, parvix::BoxStyle::Notice, parvix::BoxTitle::Parvix);
    // A total other than the check file's is asked about by the join itself.
    const auto& check = set.checkFile().content;
    if (set.broken() && !(check && set.total() != check->size)) {
        if (window.messageBox(kJoinAnyway, parvix::BoxStyle::DamagedQuestion, parvix::BoxTitle::Parvix) ==
            parvix::Button::No)
            return std::nullopt;
        notOriginal = true;
    }
    return set;
}

int join(parvix::FileServices& files, parvix::ConsoleWindow& window, const std::vector<std::string>& operands,
         bool asListed)
{
    if (operands.empty())
        return usageError("join takes DEST and the first piece, or DEST and the pieces");
    bool notOriginal = false;
    if (operands.size() == 2 && parvix::isFirstPieceName(operands[1])) {
        // Reading the set can fail like any file: that is the error path's to say.
        std::optional<parvix::PieceSet> set;
        const auto found = parvix::runWithErrorPath(
            [&]() -> parvix::OperationResult {
                set = findSet(files, window, operands[1], notOriginal);
                return {set ? parvix::Outcome::Completed : parvix::Outcome::Stopped, std::nullopt};
            },
            [&](const parvix::FileError& error) {
                parvix::reportDiskError(window, error.number(), parvix::DiskErrorEntries::All);
            });
        if (found.outcome != parvix::Outcome::Completed)
            return exitStatus(found);
        for (const auto& piece : set->pieces())
            window.appendJoinList(piece.path);
    } else {
        const std::vector<std::string> pieces(operands.begin() + 1, operands.end());
        if (!asListed && checkNumberOrder(pieces) != 0)
            return 1;
        for (const auto& piece : pieces)
            window.appendJoinList(piece);
    }
    parvix::JoinOperation operation(window.parts(), files, &stopRequest);
    auto result = operation.run(inCurrentFolder(operands[0]), false, notOriginal);
    result.notOriginal = result.notOriginal || notOriginal;
    return exitStatus(result);
}

// Checks a set as a join would, without writing: its pieces, then their bytes against the check file. A
// set whose bytes it had nothing to check against says so, and is not called sound.
int verify(parvix::FileServices& files, parvix::ConsoleWindow& window, const std::string& first)
try {
    bool unchecked = false;
    const int status = exitStatus(parvix::runWithErrorPath(
        [&]() -> parvix::OperationResult {
            const auto set = parvix::PieceSet::find(files, first);
            if (const std::string notice = set.notice(); !notice.empty())
                window.messageBox(notice, parvix::BoxStyle::Notice, parvix::BoxTitle::Parvix);
            const std::uint32_t crc = set.checksum(files, &stopRequest);
            const auto proposal = parvix::proposeDestination(first);
            for (const auto& line :
                 parvix::checkFileLines({parvix::GetFileName(proposal.value_or(first)), set.total(), crc}))
                std::printf("%s\n", line.c_str());

            const auto& check = set.checkFile();
            const std::string checkName = parvix::GetFileName(check.path);
            bool sound = !set.broken() && !set.pieces().empty();
            if (check.content && sound && crc != check.content->crc32) {
                window.messageBox("The cutted files are not the original file!\rTheir CRC32 is " +
                                      parvix::crcText(crc) + ", but " + checkName + " says " +
                                      parvix::crcText(check.content->crc32),
                                  parvix::BoxStyle::Warning, parvix::BoxTitle::Parvix);
                sound = false;
            } else if (!check.content && sound) {
                // The notice has said already when a check file is there but reads as none.
                if (!check.present)
                    window.messageBox(kNotChecked, parvix::BoxStyle::Notice, parvix::BoxTitle::Parvix);
                unchecked = true;
            }
            return {sound ? parvix::Outcome::Completed : parvix::Outcome::Failed, std::nullopt};
        },
        [&](const parvix::FileError& error) {
            parvix::reportDiskError(window, error.number(), parvix::DiskErrorEntries::All);
        }));
    return status == 0 && unchecked ? 3 : status;
} catch (const parvix::StopRequested&) {
    return 130;
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
    if (command != "cut" && command != "join" && command != "verify")
        return usageError(("unknown sub-command: " + command).c_str());

    bool yes = false;
    bool joinDamaged = false;
    bool asListed = false;
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
        } else if (!optionsEnded && command == "join" && arg == "--as-listed") {
            asListed = true;
        } else if (!optionsEnded && command == "join" && arg == "--join-damaged") {
            joinDamaged = true;
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
    parvix::ConsoleWindow window(yes, joinDamaged);
    stopOnSignals();
    if (command == "verify") {
        if (operands.size() != 1)
            return usageError("verify takes the first piece of a set");
        return verify(*files, window, operands[0]);
    }
    if (command == "join")
        return join(*files, window, operands, asListed);

    if (operands.size() != 2)
        return usageError("cut takes SOURCE and BASE");
    parvix::SplitOperation split(window.parts(), *files, &stopRequest);
    const auto result = split.run({operands[0], inCurrentFolder(operands[1]), !customSize, sizeText, false});
    if (result.outcome != parvix::Outcome::Stopped) {
        for (const auto& entry : window.joinList())
            std::printf("%s\n", entry.c_str());
        if (window.text4Set())
            std::printf("%s\n", window.text4().c_str());
    }
    return exitStatus(result);
}
