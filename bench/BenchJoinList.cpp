// parvix-bench-list: the join list's "Add" and the join over a large piece set, without a window.
//
//   parvix-bench-list add FIRST_PIECE            fills an empty list from the set of FIRST_PIECE
//   parvix-bench-list join FIRST_PIECE DEST      the same "Add", then joins the list into DEST
//
// Prints "entries N", "add seconds T" and, for join, "join seconds T" and "progress values V" (the
// number of progress values the join set). Exit status 0 when every step completed.
#include "JoinListAdd.h"
#include "JoinOperation.h"
#include "NativeFiles.h"
#include "WindowRequests.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using parvix::BoxStyle;
using parvix::BoxTitle;
using parvix::Button;

// Holds the list and Text4 as the window would; every question is answered Yes, every box printed.
class ListWindow : public parvix::Questions, public parvix::JoinListDisplay, public parvix::Progress
{
public:
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override
    {
        if (!parvix::isYesNo(style))
            std::fprintf(stderr, "%s: %s\n", parvix::titleText(title), text.c_str());
        return parvix::isYesNo(style) ? Button::Yes : Button::Ok;
    }
    void clearJoinList() override { list.clear(); }
    void appendJoinList(const std::string& entry) override { list.push_back(entry); }
    void setText4(const std::string& text) override { text4 = text; }
    void setProgressMax(float) override {}
    void setProgressValue(float) override { ++progressValues; }
    void showProgress() override {}
    void hideProgress() override {}

    parvix::WindowParts parts() { return parvix::WindowParts(*this, *this, this); }

    std::vector<std::string> list;
    std::string text4;
    long progressValues = 0;
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (!((command == "add" && argc == 3) || (command == "join" && argc == 4))) {
        std::fputs("usage: parvix-bench-list add FIRST_PIECE\n"
                   "       parvix-bench-list join FIRST_PIECE DEST\n",
                   stderr);
        return 64;
    }
    auto files = parvix::makeNativeFileServices();
    ListWindow window;

    auto start = std::chrono::steady_clock::now();
    const auto added = parvix::JoinListAdd(window.parts(), *files).run(argv[2], window.list);
    const double addSeconds = secondsSince(start);
    std::printf("entries %zu\nadd seconds %.3f\n", window.list.size(), addSeconds);
    if (added.outcome != parvix::Outcome::Completed)
        return 1;
    if (command == "add")
        return 0;

    start = std::chrono::steady_clock::now();
    const auto joined = parvix::JoinOperation(window.parts(), *files).run({argv[3], window.list});
    std::printf("join seconds %.3f\nprogress values %ld\n", secondsSince(start), window.progressValues);
    return joined.outcome == parvix::Outcome::Completed ? 0 : 1;
}
