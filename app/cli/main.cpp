// parvix-cli: the cut and join engines on a console.
#include "CommandLine.h"
#include "ConsoleWindow.h"
#include "JoinOperation.h"
#include "Naming.h"
#include "NativeFiles.h"
#include "PieceOrder.h"
#include "Platform.h"
#include "SetChecks.h"
#include "SplitOperation.h"
#include "StopRequest.h"
#include "StopSignals.h"

#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using namespace parvix;

// Asked from a signal handler; the engines look at it between two chunks of their copy.
StopRequest stopRequest;

int exitStatus(const OperationResult& result)
{
    switch (result.outcome) {
    case Outcome::Completed:
        return result.notOriginal ? 2 : 0;
    case Outcome::Stopped:
        // Ctrl+C at a question ends it as No.
        return stopRequest.requested() ? 130 : 1;
    case Outcome::Interrupted:
        return 130;
    case Outcome::Failed:
        break;
    }
    // The table's message names no file: a console user is told which one failed, and why.
    if (result.error) {
        const FileError& error = *result.error;
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
    if (path.empty() || path.find(kSeparator) != std::string::npos)
        return path;
#ifdef _WIN32
    if (path.find_first_of("/:") != std::string::npos)
        return path;
#endif
    return std::string(".") + kSeparator + path;
}

int cut(FileServices& files, ConsoleWindow& window, const CommandLine& line)
{
    SplitInputs inputs;
    inputs.text1 = line.operands[0];
    inputs.text2 = inCurrentFolder(line.operands[1]);
    inputs.typed = false;
    inputs.fromStandardInput = line.operands[0] == "-";
    inputs.pieceBytes = line.pieceSize;
    inputs.pieces = line.pieceCount;
    inputs.recoveryPieces = line.recovery;
    const CutResult result = SplitOperation(window.parts(), files, &stopRequest).run(inputs);
    // The pieces and the joined file's path, one per line: what the window's join list and Text4 show.
    for (const auto& piece : result.pieces)
        std::printf("%s\n", piece.c_str());
    if (result.proposal)
        std::printf("%s\n", result.proposal->c_str());
    const auto made = static_cast<std::int64_t>(result.pieces.size());
    if (result.outcome == Outcome::Completed && line.pieceCount && made != *line.pieceCount)
        std::fprintf(stderr, "parvix-cli: %lld bytes in pieces of %lld bytes make %lld pieces, not %lld\n",
                     static_cast<long long>(result.length), static_cast<long long>(result.pieceSize),
                     static_cast<long long>(made), static_cast<long long>(*line.pieceCount));
    return exitStatus(result);
}

int join(FileServices& files, ConsoleWindow& window, const CommandLine& line)
{
    JoinInputs inputs;
    inputs.text4 = inCurrentFolder(line.operands[0]);
    inputs.typed = false;
    inputs.toStandardOutput = line.operands[0] == "-";
    if (line.operands.size() == 2 && isFirstPieceName(line.operands[1])) {
        const SetToJoin set = findSetToJoin(files, window, line.operands[1]);
        if (set.outcome != Outcome::Completed)
            return exitStatus(set);
        inputs.pieces = set.pieces;
        inputs.notOriginal = set.notOriginal;
    } else {
        inputs.pieces.assign(line.operands.begin() + 1, line.operands.end());
        if (const auto problem = pieceOrderProblem(inputs.pieces); problem && !line.asListed) {
            std::fprintf(stderr, "parvix-cli: %s\n", problem->c_str());
            return 1;
        }
    }
    return exitStatus(JoinOperation(window.parts(), files, &stopRequest).run(inputs));
}

int verify(FileServices& files, ConsoleWindow& window, const std::string& first)
{
    const SetCheck check = verifySet(files, window, first, &stopRequest);
    for (const auto& line : check.checkFileLines)
        std::printf("%s\n", line.c_str());
    const int status = exitStatus(check);
    // Sound pieces without a check file may still not be the original's bytes: nothing says what they were.
    return status == 0 && !check.checked ? 3 : status;
}

int repair(FileServices& files, ConsoleWindow& window, const std::string& first)
{
    const SetCheck repaired = repairSet(files, window, first, &stopRequest);
    // A set without an index has nothing to rebuild from, nor to check against.
    if (!repaired.checked && !repaired.error)
        return 3;
    return repaired.outcome == Outcome::Stopped ? 2 : exitStatus(repaired);
}

} // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    try {
        line = parseCommandLine(commandLineArguments(argc, argv));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "parvix-cli: %s\nTry 'parvix-cli --help' for more information.\n", error.what());
        return 1;
    }
    switch (line.command) {
    case CommandLine::Command::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case CommandLine::Command::Version:
        std::printf("parvix-cli %s\n", PARVIX_VERSION);
        return 0;
    default:
        break;
    }
#ifdef _WIN32
    // A drive without its disk is reported in our own words; the system's "There is no disk in the
    // drive" box must not come first, nor at all on a console.
    SetErrorMode(SEM_FAILCRITICALERRORS);
#endif
    const auto files = makeNativeFileServices();
    ConsoleWindow window(line);
    stopOnSignals(stopRequest);
    switch (line.command) {
    case CommandLine::Command::Verify:
        return verify(*files, window, line.operands[0]);
    case CommandLine::Command::Repair:
        return repair(*files, window, line.operands[0]);
    case CommandLine::Command::Join:
        return join(*files, window, line);
    default:
        return cut(*files, window, line);
    }
}
