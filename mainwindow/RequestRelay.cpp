#include "RequestRelay.h"

#include <QCoreApplication>
#include <future>
#include <memory>

namespace parvix {

bool RequestRelay::post(std::function<void()> request)
{
    // Under the lock, so that nothing is queued once the window has dropped what was queued.
    const std::lock_guard lock(m_mutex);
    if (m_abandoned)
        return false;
    QMetaObject::invokeMethod(this, std::move(request), Qt::QueuedConnection);
    return true;
}

void RequestRelay::abandon()
{
    const std::lock_guard lock(m_mutex);
    m_abandoned = true;
    // A dropped box lets go of its answer, which the engine then takes for No.
    QCoreApplication::removePostedEvents(this);
}

Button RequestRelay::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    auto answer = std::make_shared<std::promise<Button>>();
    std::future<Button> answered = answer->get_future();
    const bool asked = post([this, answer, text, style, title] {
        m_boxes(text, style, title, [answer](Button button) { answer->set_value(button); });
    });
    try {
        if (asked)
            return answered.get();
    } catch (const std::future_error&) {
        // The window went away before it answered.
    }
    return isYesNo(style) ? Button::No : Button::Ok;
}

} // namespace parvix
