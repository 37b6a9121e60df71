#pragma once

#include "WindowRequests.h"

#include <deque>
#include <string>
#include <vector>

namespace parvix::test {

// A window that records every request of an engine as one readable line, in order:
//   "box Warning Parvix: text"  (style, the title the box would show, the text with its CRs)
//   "focus Text1", "selectAll Text2", "caretToEnd Text4"
//   "clear", "append <path>", "text4 <text>"
//   "pointer Hourglass", "max 2", "value 0", "show", "hide", "tab 1"
// Yes/No boxes are answered from a script, Yes when it runs out.
class RecordingWindow : public WindowRequests
{
public:
    // Questions
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;

    // WindowDisplay
    void focus(TextBox box) override;
    void selectAll(TextBox box) override;
    void caretToEnd(TextBox box) override;
    void clearJoinList() override;
    void appendJoinList(const std::string& entry) override;
    void setText4(const std::string& text) override;
    void setPointer(Pointer pointer) override;
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void showProgress() override;
    void hideProgress() override;
    void selectTab(int index) override;

    // Answers for the next Yes/No boxes, in order.
    void answer(std::initializer_list<Button> buttons);
    std::size_t pendingAnswers() const { return m_answers.size(); }

    // Every request so far, and only the boxes among them.
    const std::vector<std::string>& requests() const { return m_requests; }
    std::vector<std::string> boxes() const;
    void clearRequests() { m_requests.clear(); }

    // What the window shows now.
    std::vector<std::string> joinList;
    std::string text4;
    int tab = kSplitTab;
    Pointer pointer = Pointer::Default;
    bool progressShown = false;
    float progressMax = 0;
    float progressValue = 0;

private:
    void record(std::string line) { m_requests.push_back(std::move(line)); }

    std::vector<std::string> m_requests;
    std::deque<Button> m_answers;
};

const char* styleName(BoxStyle style);
const char* textBoxName(TextBox box);
// A progress number as the recorder writes it: the shortest exact decimal ("2", "1.5", "1000000").
std::string numberText(float value);

} // namespace parvix::test
