#pragma once

#include "FaultInjectingFileServices.h"
#include "JoinOperation.h"
#include "NativeFiles.h"
#include "RecordingWindow.h"
#include "SplitOperation.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace parvix::test {

using Requests = std::vector<std::string>;

inline const std::string kCompletionTail =
    " is cutted completely!\r\rYou can run the link.bat to join automatically in "
    "the destination director \rAlso you can use the Parvix to join the file !";

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

inline std::string joinReplaceQuestion(const std::string& destination)
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
