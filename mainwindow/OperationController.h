#pragma once

#include "FileServices.h"
#include "Operation.h"
#include "StopRequest.h"
#include "WindowRequests.h"

#include <QObject>
#include <functional>
#include <future>
#include <memory>
#include <thread>

class QWidget;

namespace parvix {

class InputBlocker;
class WindowBoxes;

// Runs the window's one operation at a time, a cut, a join or an "Add", on a thread of its own, with
// the file services it owns. start() returns at once; finished() follows once the engine has ended and
// everything it asked of the window has been carried out. Meanwhile the window keeps painting and
// answering the desktop, so that it is never taken for hung and killed in the middle of a write, while
// its input guard drops the user's input. Escape or the close box then ask whether to stop a cut or a
// join; "Add" is not stopped. Asked to quit, the program first lets the engine end: a cut or a join is
// stopped as if the user had said Yes, and its last box is still shown.
class OperationController : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        Cut,
        Join,
        Add,
    };
    using Operation = std::function<OperationResult(WindowParts, FileServices&, const StopRequest*)>;

    // `window` is the one whose input is guarded, `parts` what the engine asks things of, `boxes` where
    // the question before a stop is asked; all must outlive the controller.
    OperationController(QWidget& window, WindowParts parts, WindowBoxes& boxes, std::unique_ptr<FileServices> files);
    // An operation still running is stopped, its boxes answered No, and waited for.
    ~OperationController() override;

    void setFileServices(std::unique_ptr<FileServices> files) { m_files = std::move(files); }
    FileServices& files() { return *m_files; }

    bool running() const { return m_running; }
    // The question Escape or the close box asks while a cut or a join runs.
    static const char* stopQuestion(Kind kind);
    // Starts `operation`; while another runs, nothing happens and false is returned.
    bool start(Kind kind, Operation operation);

signals:
    void runningChanged(bool running);
    void finished(parvix::Outcome outcome);

private:
    void engineEnded(const OperationResult& result);
    class Relay;
    // Window's thread: an engine's box, shown now or, while the question whether to stop is up, after it.
    void engineBox(const std::string& text, BoxStyle style, BoxTitle title,
                   const std::shared_ptr<std::promise<Button>>& answer);
    void askToStop();
    void finish();
    void finishBeforeQuit();

    QWidget& m_window;
    WindowParts m_parts;
    WindowBoxes& m_boxes;
    std::unique_ptr<FileServices> m_files;

    // While an operation runs.
    bool m_running = false;
    Kind m_kind = Kind::Add;
    std::unique_ptr<InputBlocker> m_guard;
    std::unique_ptr<Relay> m_relay;
    std::unique_ptr<StopRequest> m_stop;
    std::thread m_engine;
    OperationResult m_result;
    bool m_asking = false;
    bool m_endedWhileAsking = false;
    // The engine's box that waits while the question whether to stop is up.
    std::function<void()> m_heldBox;
};

} // namespace parvix
