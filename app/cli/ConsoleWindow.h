#pragma once

#include "WindowRequests.h"

#include <cstdio>
#include <string>
#include <vector>

namespace parvix {

// The parts of a window that a terminal has: boxes go to stderr as "TITLE: text", questions are
// answered by --yes, by the user at a terminal, or with No when nobody can answer; the join list is
// kept for printing; progress is drawn on a terminal. It has no caret, pointer or pages.
class ConsoleWindow : public Questions, public JoinListDisplay, public Progress
{
public:
    // `assumeYes` answers the questions of a sound run; `joinDamaged` the question whether to join files
    // that failed their checks, which is otherwise answered No.
    ConsoleWindow(bool assumeYes, bool joinDamaged);

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

    const std::vector<std::string>& joinList() const { return m_joinList; }
    const std::string& text4() const { return m_text4; }
    bool text4Set() const { return m_text4Set; }

private:
    void drawProgress();

    bool m_assumeYes;
    bool m_joinDamaged;
    bool m_progressOnTerminal;
    bool m_progressShown = false;
    float m_progressMax = 0;
    float m_progressValue = 0;
    std::vector<std::string> m_joinList;
    std::string m_text4;
    bool m_text4Set = false;
};

} // namespace parvix
