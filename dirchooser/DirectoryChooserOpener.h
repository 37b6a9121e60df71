#pragma once

#include "DirectorySource.h"

#include <QString>
#include <memory>
#include <optional>

namespace parvix {

class Form1;
class Questions;

// Opens the directory chooser for the main window's two destination boxes; both "..." buttons call
// open(). The chooser is created on the first opening and afterwards only shown again, so it keeps its
// drive and directory, until the user closes it with the title bar's close box: the next opening then
// starts afresh. A chooser that is merely hidden never keeps the program running.
class DirectoryChooserOpener
{
public:
    // The chooser shows its boxes through `questions` (the main window's), which must outlive the
    // opener; without a source it uses the machine's drives.
    explicit DirectoryChooserOpener(Questions& questions, std::unique_ptr<DirectorySource> source = nullptr);
    ~DirectoryChooserOpener();

    DirectoryChooserOpener(const DirectoryChooserOpener&) = delete;
    DirectoryChooserOpener& operator=(const DirectoryChooserOpener&) = delete;

    // Shows the chooser modally, with no owner, and returns when it has been hidden or closed: after
    // "Ok" with the chosen directory followed by a separator (a root gives two), else with nothing.
    std::optional<QString> open();

    // The chooser while it exists, else null.
    Form1* chooser() const { return m_form.get(); }

private:
    Questions& m_questions;
    std::unique_ptr<DirectorySource> m_source;
    std::unique_ptr<Form1> m_form;
};

} // namespace parvix
