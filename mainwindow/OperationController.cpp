#include "OperationController.h"

#include "InputBlocker.h"
#include "RequestRelay.h"
#include "WindowBoxes.h"

#include <QCoreApplication>
#include <exception>
#include <utility>

namespace parvix {

namespace {

// Asked before a running cut or join stops: Yes and No, question icon, No the default, title "Parvix".
constexpr const char* kStopCutQuestion = "Do you want to stop the cutting？";
constexpr const char* kStopJoinQuestion = "Do you want to stop the joining？";

} // namespace

const char* OperationController::stopQuestion(Kind kind)
{
    return kind == Kind::Cut ? kStopCutQuestion : kStopJoinQuestion;
}

OperationController::OperationController(QWidget& window, WindowParts parts, WindowBoxes& boxes,
                                         std::unique_ptr<FileServices> files)
    : m_window(window), m_parts(parts), m_boxes(boxes), m_files(std::move(files))
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &OperationController::finishBeforeQuit);
}

OperationController::~OperationController()
{
    if (!m_engine.joinable())
        return;
    m_stop->request();
    m_relay->abandon();
    // A box held back for the question lets go of its answer too.
    m_heldBox = {};
    m_engine.join();
}

bool OperationController::start(Kind kind, Operation operation)
{
    // A click that reached a handler anyway (from the program itself) never starts a second operation.
    if (m_running)
        return false;
    m_running = true;
    m_kind = kind;
    m_guard = std::make_unique<InputBlocker>(m_window);
    connect(m_guard.get(), &InputBlocker::stopWished, this, &OperationController::askToStop, Qt::QueuedConnection);
    m_relay = std::make_unique<RequestRelay>(
        m_parts, [this](std::string text, BoxStyle style, BoxTitle title, std::function<void(Button)> answer) {
            engineBox(std::move(text), style, title, std::move(answer));
        });
    m_stop = std::make_unique<StopRequest>();
    emit runningChanged(true);
    m_engine = std::thread([this, operation = std::move(operation)] {
        // The engines end every failure in their own error path; anything else still ends the operation,
        // as a failure, rather than the program.
        OperationResult result{Outcome::Failed, std::nullopt};
        try {
            result = operation(WindowParts(*m_relay), *m_files, m_stop.get());
        } catch (const std::exception&) {
        }
        // Queued after everything the engine asked of the window, so it comes last.
        QMetaObject::invokeMethod(
            this, [this, result] { engineEnded(result); }, Qt::QueuedConnection);
    });
    return true;
}

void OperationController::engineBox(std::string text, BoxStyle style, BoxTitle title,
                                    std::function<void(Button)> answer)
{
    auto show = [this, text = std::move(text), style, title, answer = std::move(answer)] {
        answer(m_boxes.messageBox(text, style, title));
    };
    // While the question whether to stop is up, the engine's box waits for it to be answered.
    if (m_asking)
        m_heldBox = std::move(show);
    else
        show();
}

void OperationController::askToStop()
{
    if (!m_running || m_kind == Kind::Add || m_asking || m_stop->requested())
        return;
    m_asking = true;
    const Button answer = m_boxes.messageBox(stopQuestion(m_kind), BoxStyle::ReplaceQuestion, BoxTitle::Parvix);
    m_asking = false;
    if (m_endedWhileAsking) {
        m_endedWhileAsking = false;
        finish();
        return;
    }
    if (answer == Button::Yes)
        m_stop->request();
    if (auto held = std::exchange(m_heldBox, {}))
        held();
}

void OperationController::engineEnded(const OperationResult& result)
{
    m_engine.join();
    m_result = result;
    if (m_asking) {
        // Nothing is left to stop: the question goes, as if answered No, and the end follows it.
        m_endedWhileAsking = true;
        m_boxes.dismiss();
        return;
    }
    finish();
}

void OperationController::finish()
{
    m_relay.reset();
    m_guard.reset();
    m_running = false;
    emit runningChanged(false);
    emit finished(m_result.outcome);
}

void OperationController::finishBeforeQuit()
{
    // The application's event loop has ended, but the engine may still have files open and a last box
    // to show: stop a cut or a join as a Yes to the question would, and see the engine to its end.
    if (!m_running)
        return;
    if (m_kind != Kind::Add)
        m_stop->request();
    while (m_running)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace parvix
