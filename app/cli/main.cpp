// parvix-cli: the cut and join engines on a console.
#include "ByteSize.h"
#include "CheckFile.h"
#include "CommandLine.h"
#include "ConsoleWindow.h"
#include "DiskErrorTable.h"
#include "JoinOperation.h"
#include "Naming.h"
#include "NativeFiles.h"
#include "PieceSet.h"
#include "Platform.h"
#include "SplitOperation.h"
#include "StopRequest.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <limits>
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

// The length of an ordinary file, when it can be known before the engine looks.
std::optional<std::int64_t> lengthOf(parvix::FileServices& files, const std::string& path)
{
    try {
        if (parvix::exists(files, path, parvix::ListingKind::OrdinaryFiles))
            return files.fileLength(path);
    } catch (const parvix::FileError&) {
    }
    return std::nullopt;
}

// The join counts its progress in pieces: drawn in bytes, as if each were as long as the first.
void showProgressInBytes(parvix::FileServices& files, parvix::ConsoleWindow& window)
{
    std::optional<std::int64_t> first;
    std::int64_t total = 0;
    for (const auto& piece : window.joinList()) {
        const auto length = lengthOf(files, piece);
        if (!length)
            return; // the join says what is wrong with the piece
        first = first.value_or(*length);
        total += *length;
    }
    if (first)
        window.setProgressBytes(*first, total);
}

// The whole set of a first piece, as "Add" finds it, with what is wrong with it said first. A set that
// cannot give back its original is joined only with --join-damaged, which answers the question.
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
        if (window.messageBox(std::string(parvix::kJoinAnyway), parvix::BoxStyle::DamagedQuestion,
                              parvix::BoxTitle::Parvix) == parvix::Button::No)
            return std::nullopt;
        notOriginal = true;
    }
    return set;
}

int join(parvix::FileServices& files, parvix::ConsoleWindow& window, const std::vector<std::string>& operands,
         bool asListed)
{
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
    showProgressInBytes(files, window);
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
    // Sound pieces without a check file may still not be the original's bytes: nothing says what they were.
    return status == 0 && unchecked ? 3 : status;
} catch (const parvix::StopRequested&) {
    return 130;
}

int cut(parvix::FileServices& files, parvix::ConsoleWindow& window, const parvix::CommandLine& line)
{
    const std::string& source = line.operands[0];
    const auto length = lengthOf(files, source);
    std::optional<std::int64_t> pieceSize = line.pieceSize;
    if (line.pieceCount && length) {
        const auto equal = parvix::equalPieces(*length, *line.pieceCount);
        // An empty source is refused by the cut itself.
        if (equal.pieces != *line.pieceCount && equal.pieces > 0)
            std::fprintf(stderr, "parvix-cli: %lld bytes in pieces of %lld bytes make %lld pieces, not %lld\n",
                         static_cast<long long>(*length), static_cast<long long>(equal.pieceSize),
                         static_cast<long long>(equal.pieces), static_cast<long long>(*line.pieceCount));
        pieceSize = equal.pieceSize;
    }
    // The engine takes the size as the window's box holds it, in kilobytes, up to a signed 32-bit count.
    if (pieceSize && *pieceSize > std::numeric_limits<std::int32_t>::max()) {
        std::fprintf(stderr, "parvix-cli: this version cuts pieces of at most %d bytes, not %lld\n",
                     std::numeric_limits<std::int32_t>::max(), static_cast<long long>(*pieceSize));
        return 1;
    }
    if (length)
        window.setProgressBytes(pieceSize.value_or(parvix::kFloppyPieceSize), *length);
    parvix::SplitOperation split(window.parts(), files, &stopRequest);
    const auto result = split.run({source, inCurrentFolder(line.operands[1]), !pieceSize,
                                   pieceSize ? parvix::kilobyteText(*pieceSize) : std::string(), false});
    if (result.outcome != parvix::Outcome::Stopped) {
        for (const auto& entry : window.joinList())
            std::printf("%s\n", entry.c_str());
        if (window.text4Set())
            std::printf("%s\n", window.text4().c_str());
    }
    return exitStatus(result);
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
    parvix::CommandLine line;
    try {
        line = parvix::parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    } catch (const parvix::UsageError& error) {
        std::fprintf(stderr, "parvix-cli: %s\nTry 'parvix-cli --help' for more information.\n", error.what());
        return 1;
    }
    switch (line.command) {
    case parvix::CommandLine::Command::Help:
        std::fputs(parvix::kUsage, stdout);
        return 0;
    case parvix::CommandLine::Command::Version:
        std::printf("parvix-cli %s\n", PARVIX_VERSION);
        return 0;
    case parvix::CommandLine::Command::Repair:
        std::fputs("parvix-cli: this version cannot repair a set yet\n", stderr);
        return 1;
    default:
        break;
    }
    if (line.recovery > 0) {
        std::fputs("parvix-cli: this version cannot write recovery data yet\n", stderr);
        return 1;
    }

    auto files = parvix::makeNativeFileServices();
    parvix::ConsoleWindow window(line);
    stopOnSignals();
    if (line.command == parvix::CommandLine::Command::Verify)
        return verify(*files, window, line.operands[0]);
    if (line.command == parvix::CommandLine::Command::Join)
        return join(*files, window, line.operands, line.asListed);
    return cut(*files, window, line);
}
