#include "ConsoleWindow.h"

#include "CommandLine.h"

#include <cstdio>
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

ConsoleWindow::ConsoleWindow(const CommandLine& commandLine)
    : m_assumeYes(commandLine.yes), m_quiet(commandLine.quiet), m_joinDamaged(commandLine.joinDamaged),
      m_progress(std::cerr, isTerminal(2) && !commandLine.quiet)
{
}

Button ConsoleWindow::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    const bool damagedSet = style == BoxStyle::DamagedQuestion;
    // What the set lacks is said even when --join-damaged answers; a question that --yes answers is
    // not worth a line when quiet.
    if (!(m_quiet && m_assumeYes && isYesNo(style) && !damagedSet)) {
        m_progress.clear();
        std::string shown = text;
        for (char& c : shown) {
            if (c == '\r')
                c = '\n';
        }
        std::fprintf(stderr, "%s: %s\n", titleText(title), shown.c_str());
    }
    if (!isYesNo(style))
        return Button::Ok;
    if (damagedSet) {
        if (m_joinDamaged)
            return Button::Yes;
        std::fputs("parvix-cli: the set fails its checks; add --join-damaged to join it all the same\n", stderr);
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

void ConsoleWindow::hideProgress()
{
    m_progress.finish();
}

void ConsoleWindow::setBytesDone(std::int64_t done, std::int64_t total)
{
    m_progress.update(done, total < 0 ? std::nullopt : std::optional<std::int64_t>(total));
}

} // namespace parvix
