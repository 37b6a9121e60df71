#pragma once

#include "TerminalProgress.h"
#include "WindowRequests.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvix {

struct CommandLine;

// The closing words of the questions that ask whether to join a set that fails its checks.
inline constexpr std::string_view kJoinAnyway = "Do you want to join them anyway？";

// The parts of a window that a terminal has: boxes go to stderr as "TITLE: text", questions are
// answered by --yes, by the user at a terminal, or with No when nobody can answer; whether to join a set
// that fails its checks only --join-damaged answers. The join list is kept for printing; progress is
// drawn on a terminal. It has no caret, pointer or pages.
class ConsoleWindow : public Questions, public JoinListDisplay, public Progress
{
public:
    // --yes, --quiet and --join-damaged say how it answers and what it shows.
    explicit ConsoleWindow(const CommandLine& commandLine);

    // The engines' view of it.
    WindowParts parts() { return WindowParts(*this, *this, *this); }

    // Questions
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;

    // JoinListDisplay
    void clearJoinList() override;
    void appendJoinList(const std::string& entry) override;
    std::int64_t joinListCount() override;
    std::string joinListEntry(std::int64_t index) override;
    void setText4(const std::string& text) override;

    // Progress
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void showProgress() override;
    void hideProgress() override;

    // The engines count their progress in pieces: each stands for `pieceSize` bytes of `total`. Until
    // this is said, no progress is drawn.
    void setProgressBytes(std::int64_t pieceSize, std::optional<std::int64_t> total);

    const std::vector<std::string>& joinList() const { return m_joinList; }
    const std::string& text4() const { return m_text4; }
    bool text4Set() const { return m_text4Set; }

private:
    void drawProgress();

    bool m_assumeYes;
    bool m_quiet;
    bool m_joinDamaged;
    TerminalProgress m_progress;
    bool m_progressShown = false;
    float m_progressValue = 0;
    std::int64_t m_pieceBytes = 0;
    std::optional<std::int64_t> m_totalBytes;
    std::vector<std::string> m_joinList;
    std::string m_text4;
    bool m_text4Set = false;
};

} // namespace parvix
