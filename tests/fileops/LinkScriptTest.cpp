#include "LinkScript.h"

#include "LinkScriptRunner.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

namespace parvix {
namespace {

using test::nativePath;

std::vector<std::string> pieceNames(const std::string& base, int count)
{
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n)
        names.push_back(base + (n < 10 ? ".00" : n < 100 ? ".0" : ".") + std::to_string(n));
    return names;
}

std::string joinedLine(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

TEST(LinkScript, OneLineNamesThePiecesInOrderAndThenTheJoinedFile)
{
    EXPECT_EQ(linkScriptLines(pieceNames("movie$avi", 3), "movie.avi"),
              std::vector<std::string>{R"(copy/B "movie$avi.001"+"movie$avi.002"+"movie$avi.003" "movie.avi")"});
    EXPECT_EQ(linkScriptLines({"movie$avi.001"}, "movie.avi"),
              std::vector<std::string>{R"(copy/B "movie$avi.001" "movie.avi")"});
    EXPECT_EQ(linkScriptLines({"x.001"}, "x"), std::vector<std::string>{R"(copy/B "x.001" "x")"});
    // The list order, not the number order.
    EXPECT_EQ(linkScriptLines({"a.002", "a.001"}, "a"), std::vector<std::string>{R"(copy/B "a.002"+"a.001" "a")"});
    // Spaces and non-ASCII names stay as they are, inside their quotes.
    EXPECT_EQ(linkScriptLines({"my file$txt.001"}, "my file.txt"),
              std::vector<std::string>{R"(copy/B "my file$txt.001" "my file.txt")"});
    EXPECT_EQ(linkScriptLines({"café$txt.001"}, "café.txt"),
              std::vector<std::string>{R"(copy/B "café$txt.001" "café.txt")"});
}

TEST(LinkScript, PercentSignsAreDoubledSoCmdLeavesThemAlone)
{
    EXPECT_EQ(linkScriptLines({"50%$txt.001", "50%$txt.002"}, "50%.txt"),
              std::vector<std::string>{R"(copy/B "50%%$txt.001"+"50%%$txt.002" "50%%.txt")"});
    EXPECT_EQ(linkScriptLines({"%PATH%.001"}, "%PATH%"),
              std::vector<std::string>{R"(copy/B "%%PATH%%.001" "%%PATH%%")"});
}

TEST(LinkScript, ALineThatJustFitsTheLimitStaysOneLine)
{
    const auto pieces = pieceNames("movie$avi", 5);
    const auto oneLine = linkScriptLines(pieces, "movie.avi");
    ASSERT_EQ(oneLine.size(), 1u);
    const std::size_t length = oneLine[0].size();
    EXPECT_EQ(linkScriptLines(pieces, "movie.avi", length), oneLine);
    EXPECT_EQ(linkScriptLines(pieces, "movie.avi", length - 1).size(), 2u);
}

TEST(LinkScript, LongListsAreSplitIntoLinesThatAppendToTheJoinedFile)
{
    for (const std::size_t limit : {std::size_t{60}, std::size_t{100}, kLinkLineLimit}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        const auto pieces = pieceNames("big$bin", limit == kLinkLineLimit ? 1500 : 200);
        const auto lines = linkScriptLines(pieces, "big.bin", limit);
        ASSERT_GT(lines.size(), 1u);
        for (const auto& line : lines)
            EXPECT_LE(line.size(), limit) << line;
        EXPECT_EQ(lines.front().rfind(R"(copy/B "big$bin.001"+"big$bin.002"+)", 0), 0u) << lines.front();
        for (std::size_t i = 1; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].rfind(R"(copy/B "big.bin"+")", 0), 0u) << lines[i];
        for (const auto& line : lines) {
            const std::string target = R"( "big.bin")";
            ASSERT_GE(line.size(), target.size());
            EXPECT_EQ(line.substr(line.size() - target.size()), target);
        }

        // Running the lines gives every piece once, in order.
        test::TempDir dir;
        std::string expected;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const std::string bytes = "<" + std::to_string(i + 1) + ">";
            test::writeFile(dir.file(pieces[i]), bytes);
            expected += bytes;
        }
        test::writeFile(dir.file("Link.bat"), joinedLine(lines));
        const auto result = test::runLinkScript(dir.path());
        EXPECT_EQ(result.target, "big.bin");
        EXPECT_EQ(result.bytes, expected);
    }
}

TEST(LinkScript, DefaultLimitKeepsLinesWellBelowWhatCmdReads)
{
    EXPECT_LT(kLinkLineLimit, 8191u);
    const auto lines = linkScriptLines(pieceNames("a-rather-long-base-name-for-a-movie$mkv", 999), "x.mkv");
    EXPECT_GT(lines.size(), 1u);
    for (const auto& line : lines)
        EXPECT_LE(line.size(), kLinkLineLimit);
}

TEST(LinkScript, PathIsTheFolderOfTheBaseWithLinkBat)
{
    EXPECT_EQ(linkScriptPath(nativePath("D:/out/movie$avi")), nativePath("D:/out/Link.bat"));
    EXPECT_EQ(linkScriptPath(nativePath("/movie")), nativePath("/Link.bat"));
    EXPECT_EQ(linkScriptPath(nativePath("a/b.c/d$e")), nativePath("a/b.c/Link.bat"));
    EXPECT_EQ(linkScriptPath("movie"), "Link.bat");
}

} // namespace
} // namespace parvix
