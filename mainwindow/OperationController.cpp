#include "OperationController.h"

#include "InputBlocker.h"
#include "RequestRelay.h"
#include "WindowBoxes.h"

#include <QCoreApplication>
#include <utility>

namespace parvix {

namespace {

// How often the window takes up the engine's progress: often enough to look smooth, rarely enough that
// a cut into many thousands of small pieces is not slowed by it.
constexpr int kDeliveryIntervalMs = 25;

} // namespace

OperationController::OperationController(QWidget& window, WindowRequests& requests, WindowBoxes& boxes,
                                         std::unique_ptr<FileServices> files)
    : m_window(window), m_requests(requests), m_boxes(boxes), m_files(std::move(files))
{
    m_delivery.setInterval(kDeliveryIntervalMs);
    connect(&m_delivery, &QTimer::timeout, this, [this] { m_relay->deliver(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &OperationController::finishBeforeQuit);
}

OperationController::~OperationController()
{
    if (!m_engine.joinable())
        return;
    m_stop->request();
    m_relay->abandon();
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
    m_relay = std::make_unique<RequestRelay>(m_requests);
    m_stop = std::make_unique<StopRequest>();
    m_failure = nullptr;
    emit runningChanged(true);
    m_delivery.start();
    m_engine = std::thread([this, operation = std::move(operation)] {
        try {
            m_result = operation(*m_relay, *m_files, m_stop.get());
        } catch (...) {
            m_failure = std::current_exception();
        }
        QMetaObject::invokeMethod(this, &OperationController::engineEnded, Qt::QueuedConnection);
    });
    return true;
}

void OperationController::askToStop()
{
    if (!m_running || m_kind == Kind::Add || m_asking || m_stop->requested())
        return;
    m_asking = true;
    // The engine's own boxes wait until the question is answered; its progress goes on meanwhile.
    m_relay->holdBoxes(true);
    const Button answer = m_boxes.messageBox(m_kind == Kind::Cut ? kStopCutQuestion : kStopJoinQuestion,
                                             BoxStyle::ReplaceQuestion, BoxTitle::Parvix);
    m_asking = false;
    m_relay->holdBoxes(false);
    if (m_endedWhileAsking) {
        m_endedWhileAsking = false;
        finish();
        return;
    }
    if (answer == Button::Yes)
        m_stop->request();
    QMetaObject::invokeMethod(m_relay.get(), &RequestRelay::deliver, Qt::QueuedConnection);
}

void OperationController::engineEnded()
{
    m_engine.join();
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
    m_delivery.stop();
    m_relay->deliver();
    m_relay.reset();
    m_guard.reset();
    m_running = false;
    emit runningChanged(false);
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
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
