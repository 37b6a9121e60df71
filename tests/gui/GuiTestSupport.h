#pragma once

#include "CommonDialog.h"
#include "MessageBox.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// Lets failed comparisons print texts readably.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace parvix::test {

// Answers the window's message boxes: records each one and answers from a script, Yes to a question
// and OK to anything else when the script has run out. A box the window dismisses while its onShow
// runs is answered No.
class ScriptedBoxes : public MessageBoxPresenter
{
public:
    Button present(QWidget* parent, const MessageBoxRequest& request) override;
    void dismiss() override { dismissed = true; }

    void answer(Button button) { m_answers.push_back(button); }
    // Runs while a box is up, before it is answered.
    std::function<void(const MessageBoxRequest&)> onShow;

    std::vector<MessageBoxRequest> shown;
    bool dismissed = false;
    QStringList texts() const;

private:
    std::deque<Button> m_answers;
};

// Answers the file dialog: records each request and answers with the next scripted path; an empty
// path, or a script that has run out, cancels.
class ScriptedDialogs : public FileDialogPresenter
{
public:
    FileDialogAnswer getOpenFileName(QWidget* parent, const FileDialogRequest& request) override;

    void choose(const QString& path, int filterIndex = -1) { m_answers.push_back({path, filterIndex}); }
    void cancel() { m_answers.push_back({}); }

    std::vector<FileDialogRequest> shown;

private:
    std::deque<FileDialogAnswer> m_answers;
};

// Runs `probe` on the window's thread and waits for it. File services run their probes on the thread
// the engine works on, where the window must not be touched.
void onWindowThread(const std::function<void()>& probe);

// Writes `size` bytes of a repeatable pattern (seeded by `seed`) into a new file.
void writePatternFile(const QString& path, qint64 size, int seed = 1);
QByteArray readWholeFile(const QString& path);

// The control of `window` that bears the design name `name`; throws when it has none of that kind.
template <typename Control> Control* findControl(const QObject& window, const char* name)
{
    auto* control = window.findChild<Control*>(QLatin1String(name));
    if (control == nullptr)
        throw std::logic_error(std::string("no control named ") + name);
    return control;
}

} // namespace parvix::test
