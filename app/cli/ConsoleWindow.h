#pragma once

#include "WindowRequests.h"

#include <cstdio>
#include <string>
#include <vector>

namespace parvix {

// The window's requests on a terminal: boxes go to stderr as "TITLE: text", questions are answered
// by --yes, by the user at a terminal, or with No when nobody can answer.
class ConsoleWindow : public WindowRequests
{
public:
    explicit ConsoleWindow(bool assumeYes);

    // Questions
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;

    // WindowDisplay
    void focus(TextBox) override {}
    void selectAll(TextBox) override {}
    void caretToEnd(TextBox) override {}
    void clearJoinList() override;
    void appendJoinList(const std::string& entry) override;
    std::int64_t joinListCount() override;
    std::string joinListEntry(std::int64_t index) override;
    void setText4(const std::string& text) override;
    void setPointer(Pointer) override {}
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void showProgress() override;
    void hideProgress() override;
    void selectTab(int) override {}

    const std::vector<std::string>& joinList() const { return m_joinList; }
    const std::string& text4() const { return m_text4; }
    bool text4Set() const { return m_text4Set; }

private:
    void drawProgress();

    bool m_assumeYes;
    bool m_progressOnTerminal;
    bool m_progressShown = false;
    float m_progressMax = 0;
    float m_progressValue = 0;
    std::vector<std::string> m_joinList;
    std::string m_text4;
    bool m_text4Set = false;
};

} // namespace parvix
