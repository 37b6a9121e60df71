#include "OperationRunner.h"

#include "InputBlocker.h"
#include "RequestRelay.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

namespace parvix {

namespace {

// How often the window takes up the engine's progress: often enough to look smooth, rarely enough that
// a cut into many thousands of small pieces is not slowed by it.
constexpr int kDeliveryIntervalMs = 25;

} // namespace

void runOperation(QWidget& window, WindowRequests& requests, const std::function<void(WindowRequests&)>& operation)
{
    const InputBlocker blocker(window);
    RequestRelay relay(requests, requests);
    QTimer delivery;
    delivery.setInterval(kDeliveryIntervalMs);
    QObject::connect(&delivery, &QTimer::timeout, &relay, &RequestRelay::deliver);
    delivery.start();

    QEventLoop loop;
    std::atomic<bool> ended = false;
    std::exception_ptr failure;
    std::thread engine([&] {
        try {
            operation(relay);
        } catch (...) {
            failure = std::current_exception();
        }
        ended = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Asked to leave early (the application quitting, say), the loop is entered again: the engine has
    // files open and may still ask a question.
    while (!ended)
        loop.exec();
    engine.join();
    relay.deliver();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace parvix
