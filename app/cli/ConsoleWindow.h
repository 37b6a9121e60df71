#pragma once

#include "TerminalProgress.h"
#include "WindowRequests.h"

#include <cstdint>
#include <string>

namespace parvix {

struct CommandLine;

// The parts of a window that a terminal has: boxes go to stderr as "TITLE: text", questions are
// answered by --yes, by the user at a terminal, or with No when nobody can answer; whether to join files
// that fail their checks only --join-damaged answers. Progress is drawn in bytes on a terminal. It has
// no join list, caret, pointer or pages: the program prints what the engines give back.
class ConsoleWindow : public Questions, public Progress
{
public:
    // --yes, --quiet and --join-damaged say how it answers and what it shows.
    explicit ConsoleWindow(const CommandLine& commandLine);

    // The engines' view of it.
    WindowParts parts() { return WindowParts(*this, *this); }

    // Questions
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;

    // Progress: the bar's own numbers count pieces, which a console has no use for.
    void setProgressMax(float) override {}
    void setProgressValue(float) override {}
    void showProgress() override {}
    void hideProgress() override;
    void setBytesDone(std::int64_t done, std::int64_t total) override;

private:
    bool m_assumeYes;
    bool m_quiet;
    bool m_joinDamaged;
    TerminalProgress m_progress;
};

} // namespace parvix
