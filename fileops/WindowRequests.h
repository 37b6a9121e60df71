#pragma once

#include "WindowDisplay.h"
#include "WindowQuestions.h"

#include <utility>

namespace parvix {

// Every role of the window at once: what a whole window offers, as the tests' recorder and the relay to
// the window's thread do. A caller that needs only a box (the disk-error report, the directory chooser)
// takes Questions alone.
class WindowRequests : public Questions,
                       public TextBoxes,
                       public JoinListDisplay,
                       public Progress,
                       public BusyPointer,
                       public Pages
{
};

// The parts of the window that an engine asks things of. Boxes and progress are there wherever an engine
// runs; the join list, the caret and focus, the pointer and the pages only where there is a window, and
// a request to a part that is not there asks nothing: a console prints what the engine gives back.
class WindowParts : public Questions
{
public:
    // A whole window: not explicit, for a window is all its parts.
    WindowParts(WindowRequests& window) : WindowParts(window, window, &window, &window, &window, &window) {}
    WindowParts(Questions& questions, Progress& progress, JoinListDisplay* joinList = nullptr,
                TextBoxes* textBoxes = nullptr, BusyPointer* pointer = nullptr, Pages* pages = nullptr)
        : m_questions(questions), m_progress(progress), m_joinList(joinList), m_textBoxes(textBoxes),
          m_pointer(pointer), m_pages(pages)
    {
    }

    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override
    {
        return m_questions.messageBox(text, style, title);
    }

    void focus(TextBox box) { ask(m_textBoxes, &TextBoxes::focus, box); }
    void selectAll(TextBox box) { ask(m_textBoxes, &TextBoxes::selectAll, box); }
    void caretToEnd(TextBox box) { ask(m_textBoxes, &TextBoxes::caretToEnd, box); }

    void clearJoinList() { ask(m_joinList, &JoinListDisplay::clearJoinList); }
    void appendJoinList(const std::string& entry) { ask(m_joinList, &JoinListDisplay::appendJoinList, entry); }
    void setText4(const std::string& text) { ask(m_joinList, &JoinListDisplay::setText4, text); }

    void setProgressMax(float maximum) { m_progress.setProgressMax(maximum); }
    void setProgressValue(float value) { m_progress.setProgressValue(value); }
    void showProgress() { m_progress.showProgress(); }
    void hideProgress() { m_progress.hideProgress(); }
    void setBytesDone(std::int64_t done, std::int64_t total) { m_progress.setBytesDone(done, total); }

    void setPointer(Pointer pointer) { ask(m_pointer, &BusyPointer::setPointer, pointer); }

    void selectTab(int index) { ask(m_pages, &Pages::selectTab, index); }

private:
    // Makes a request of a part of the window, or nothing where the window has no such part.
    template <typename Part, typename... Params, typename... Args>
    static void ask(Part* part, void (Part::*request)(Params...), Args&&... args)
    {
        if (part)
            (part->*request)(std::forward<Args>(args)...);
    }

    Questions& m_questions;
    Progress& m_progress;
    JoinListDisplay* m_joinList;
    TextBoxes* m_textBoxes;
    BusyPointer* m_pointer;
    Pages* m_pages;
};

} // namespace parvix
