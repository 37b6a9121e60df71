#pragma once

#include "FaultInjectingFileServices.h"
#include "JoinOperation.h"
#include "NativeFiles.h"
#include "RecordingWindow.h"
#include "SplitOperation.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parvix::test {

using Requests = std::vector<std::string>;

inline const std::string kCompletionTail =
    " is cutted completely!\r\rYou can run the link.bat to join automatically in "
    "the destination director \rAlso you can use the Parvix to join the file !";

// The boxes of a join's checks, then a cut's.
inline const std::string kSpecifyName = "box Warning Parvix: Please specify a file name !";
inline const std::string kEnterName = "box Warning Parvix: Please enter the file name";
inline const std::string kJoinPathMissing = "box Warning Tavrin: The specify path is not existed!";
inline const std::string kAddPieces = "box Warning Parvix: Please add the cutted files";
inline const std::string kBesideTheSet =
    "box Warning Parvix: The specify file is one of the cutted files，Please rename";
inline const std::string kAlreadyListed = "box Warning Parvix: The specify file has already existed in th list";
inline const std::string kSelectFile = "box Warning Parvix: Please select a file to be cutted";
inline const std::string kSpecifyDestination = "box Warning Parvix: Please specify destination file name";
inline const std::string kRename = "box Notice Parvix: The specify destination file name has existed，Please rename";
inline const std::string kSplitPathMissing = "box Warning Tavrin: The specify destination path has not existed!";
inline const std::string kInvalidSize = "box Notice Parvix: Invalid cutted file size value!";
inline const std::string kTooSmall =
    "box Notice Parvix: The file you want to split is smaller than the size you specified";

inline std::string splitConfirmation(const std::string& source)
{
    return "box Confirmation Parvix: Are you sure ？The file " + source + " will to be cutted!  ";
}

inline std::string splitCompletion(const std::string& source)
{
    return "box Notice Parvix: " + source + kCompletionTail;
}

inline std::string joinConfirmation(const std::string& destination)
{
    return "box Question Parvix: Are you sure? the file  " + destination + "  will to be joined";
}

inline std::string replaceQuestion(const std::string& destination)
{
    return "box ReplaceQuestion Parvix: The file  " + destination + "  has already existed，Do you want to replace？";
}

inline std::string joinCompletion(const std::string& destination)
{
    return "box Notice Parvix: " + destination + " is joined completely!";
}

// Large contents compared by length and first difference, so that a failure prints numbers.
#define EXPECT_SAME_BYTES(actual, expected)                                                                            \
    do {                                                                                                               \
        const std::string& actualBytes_ = (actual);                                                                    \
        const std::string& expectedBytes_ = (expected);                                                                \
        EXPECT_EQ(actualBytes_.size(), expectedBytes_.size());                                                         \
        EXPECT_EQ(::parvix::test::firstDifference(actualBytes_, expectedBytes_), std::string::npos)                    \
            << "first differing byte";                                                                                 \
    } while (false)

inline SplitInputs floppy(const std::string& source, const std::string& base)
{
    return {source, base, true, ""};
}

inline SplitInputs customSize(const std::string& source, const std::string& base, const std::string& text3)
{
    return {source, base, false, text3};
}

// The real file services behind a fault injector (which fails nothing unless told to), a recording
// window and a fresh folder for every test.
class EngineTest : public ::testing::Test
{
protected:
    CutResult cut(const SplitInputs& inputs)
    {
        SplitOperation split(window, files);
        const auto result = split.run(inputs);
        EXPECT_EQ(files.openFiles(), 0) << "files left open";
        return result;
    }

    // Joins what the window lists.
    OperationResult join(const std::string& text4)
    {
        JoinOperation join(window, files);
        const auto result = join.run({text4, window.joinList});
        EXPECT_EQ(files.openFiles(), 0) << "files left open";
        return result;
    }

    // Runs an operation with these answers to its questions and checks that it stopped with exactly the
    // expected requests, took every answer and changed nothing: the folder, the join list and Text4 stay.
    void expectStopped(const std::string& name, const std::vector<Button>& answers, const Requests& expected,
                       const std::function<OperationResult()>& operation)
    {
        SCOPED_TRACE(name);
        const auto listBefore = window.joinList;
        const auto text4Before = window.text4;
        const auto before = snapshotTree(dir.path());
        window.clearRequests();
        for (Button answer : answers)
            window.answer({answer});
        const auto result = operation();
        EXPECT_EQ(result.outcome, Outcome::Stopped);
        EXPECT_FALSE(result.error.has_value());
        EXPECT_EQ(window.requests(), expected);
        EXPECT_EQ(window.pendingAnswers(), 0u);
        EXPECT_EQ(snapshotTree(dir.path()), before);
        EXPECT_EQ(window.joinList, listBefore);
        EXPECT_EQ(window.text4, text4Before);
    }

    std::string path(const std::string& name) const { return dir.file(name); }

    // Writes `bytes` to a new file in the test folder and returns its path.
    std::string makeFile(const std::string& name, const std::string& bytes)
    {
        const std::string file = path(name);
        writeFile(file, bytes);
        return file;
    }

    TempDir dir;
    std::unique_ptr<FileServices> native = makeNativeFileServices();
    FaultInjectingFileServices files{*native};
    RecordingWindow window;
};

} // namespace parvix::test
