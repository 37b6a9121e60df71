#include "ConsoleWindow.h"

#include <iostream>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace parvix {

namespace {

bool isTerminal(int fd)
{
#ifdef _WIN32
    return ::_isatty(fd) != 0;
#else
    return ::isatty(fd) != 0;
#endif
}

} // namespace

ConsoleWindow::ConsoleWindow(bool assumeYes, bool joinDamaged)
    : m_assumeYes(assumeYes), m_joinDamaged(joinDamaged), m_progressOnTerminal(isTerminal(2))
{
}

Button ConsoleWindow::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    if (m_progressShown && m_progressOnTerminal)
        std::fputs("\r\033[K", stderr);
    std::string shown = text;
    for (char& c : shown) {
        if (c == '\r')
            c = '\n';
    }
    std::fprintf(stderr, "%s: %s\n", titleText(title), shown.c_str());
    if (!isYesNo(style))
        return Button::Ok;
    // Files that failed their checks are joined only on the user's explicit word.
    if (style == BoxStyle::DamagedQuestion) {
        if (m_joinDamaged)
            return Button::Yes;
        std::fputs("parvix-cli: answered No; add --join-damaged to join them anyway\n", stderr);
        return Button::No;
    }
    if (m_assumeYes)
        return Button::Yes;
    if (!isTerminal(0))
        return Button::No;
    std::fputs(noIsDefault(style) ? "[y/N] " : "[Y/n] ", stderr);
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer))
        return Button::No;
    if (answer.empty())
        return noIsDefault(style) ? Button::No : Button::Yes;
    return answer[0] == 'y' || answer[0] == 'Y' ? Button::Yes : Button::No;
}

void ConsoleWindow::clearJoinList()
{
    m_joinList.clear();
}

void ConsoleWindow::appendJoinList(const std::string& entry)
{
    m_joinList.push_back(entry);
}

std::int64_t ConsoleWindow::joinListCount()
{
    return static_cast<std::int64_t>(m_joinList.size());
}

std::string ConsoleWindow::joinListEntry(std::int64_t index)
{
    return m_joinList.at(static_cast<std::size_t>(index));
}

void ConsoleWindow::setText4(const std::string& text)
{
    m_text4 = text;
    m_text4Set = true;
}

void ConsoleWindow::setProgressMax(float maximum)
{
    m_progressMax = maximum;
}

void ConsoleWindow::setProgressValue(float value)
{
    m_progressValue = value;
    drawProgress();
}

void ConsoleWindow::showProgress()
{
    m_progressShown = true;
    drawProgress();
}

void ConsoleWindow::hideProgress()
{
    if (m_progressShown && m_progressOnTerminal)
        std::fputs("\r\033[K", stderr);
    m_progressShown = false;
}

void ConsoleWindow::drawProgress()
{
    if (!m_progressShown || !m_progressOnTerminal)
        return;
    std::fprintf(stderr, "\r%.0f / %.0f", static_cast<double>(m_progressValue), static_cast<double>(m_progressMax));
    std::fflush(stderr);
}

} // namespace parvix
