#include "RecordingWindow.h"

#include <charconv>
#include <stdexcept>

namespace parvix::test {

const char* styleName(BoxStyle style)
{
    switch (style) {
    case BoxStyle::Warning:
        return "Warning";
    case BoxStyle::Notice:
        return "Notice";
    case BoxStyle::Confirmation:
        return "Confirmation";
    case BoxStyle::Question:
        return "Question";
    case BoxStyle::ReplaceQuestion:
        return "ReplaceQuestion";
    case BoxStyle::DamagedQuestion:
        return "DamagedQuestion";
    case BoxStyle::DiskError:
        return "DiskError";
    }
    return "?";
}

const char* textBoxName(TextBox box)
{
    switch (box) {
    case TextBox::Text1:
        return "Text1";
    case TextBox::Text2:
        return "Text2";
    case TextBox::Text3:
        return "Text3";
    case TextBox::Text4:
        return "Text4";
    }
    return "?";
}

std::string numberText(float value)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (error != std::errc())
        return "?";
    return std::string(buffer, end);
}

Button RecordingWindow::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    record(std::string("box ") + styleName(style) + " " + titleText(title) + ": " + text);
    if (!isYesNo(style))
        return Button::Ok;
    if (m_answers.empty())
        return Button::Yes;
    const Button button = m_answers.front();
    m_answers.pop_front();
    return button;
}

void RecordingWindow::focus(TextBox box)
{
    record(std::string("focus ") + textBoxName(box));
}

void RecordingWindow::selectAll(TextBox box)
{
    record(std::string("selectAll ") + textBoxName(box));
}

void RecordingWindow::caretToEnd(TextBox box)
{
    record(std::string("caretToEnd ") + textBoxName(box));
}

void RecordingWindow::clearJoinList()
{
    record("clear");
    joinList.clear();
}

void RecordingWindow::appendJoinList(const std::string& entry)
{
    record("append " + entry);
    joinList.push_back(entry);
}

void RecordingWindow::setText4(const std::string& text)
{
    record("text4 " + text);
    text4 = text;
}

void RecordingWindow::setPointer(Pointer newPointer)
{
    record(newPointer == Pointer::Hourglass ? "pointer Hourglass" : "pointer Default");
    pointer = newPointer;
}

void RecordingWindow::setProgressMax(float maximum)
{
    record("max " + numberText(maximum));
    progressMax = maximum;
}

void RecordingWindow::setProgressValue(float value)
{
    record("value " + numberText(value));
    progressValue = value;
}

void RecordingWindow::showProgress()
{
    record("show");
    progressShown = true;
}

void RecordingWindow::hideProgress()
{
    record("hide");
    progressShown = false;
}

void RecordingWindow::selectTab(int index)
{
    record("tab " + std::to_string(index));
    tab = index;
}

void RecordingWindow::answer(std::initializer_list<Button> buttons)
{
    m_answers.insert(m_answers.end(), buttons.begin(), buttons.end());
}

std::vector<std::string> RecordingWindow::boxes() const
{
    std::vector<std::string> found;
    for (const auto& line : m_requests) {
        if (line.rfind("box ", 0) == 0)
            found.push_back(line);
    }
    return found;
}

} // namespace parvix::test
