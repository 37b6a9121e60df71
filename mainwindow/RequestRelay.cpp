#include "RequestRelay.h"

#include <optional>

namespace parvix {

RequestRelay::RequestRelay(WindowRequests& window) : m_window(window)
{
    const std::int64_t count = window.joinListCount();
    m_joinList.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        m_joinList.push_back(window.joinListEntry(i));
}

void RequestRelay::post(Request request)
{
    const std::lock_guard lock(m_mutex);
    if (!m_abandoned)
        m_queue.push_back(std::move(request));
}

void RequestRelay::deliver()
{
    // A message box runs an event loop of its own, in which the delivery timer fires again: what was
    // requested after the box waits until it has been answered.
    if (m_delivering)
        return;
    m_delivering = true;
    for (;;) {
        Request request;
        {
            const std::lock_guard lock(m_mutex);
            if (m_queue.empty() || (m_boxesHeld && m_queue.front().box))
                break;
            request = std::move(m_queue.front());
            m_queue.pop_front();
        }
        request.run();
    }
    m_delivering = false;
}

void RequestRelay::abandon()
{
    const std::lock_guard lock(m_mutex);
    m_abandoned = true;
    m_queue.clear();
    m_answered.notify_all();
}

Button RequestRelay::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    std::optional<Button> answer;
    post({[&] {
              const Button button = m_window.messageBox(text, style, title);
              const std::lock_guard lock(m_mutex);
              answer = button;
              m_answered.notify_all();
          },
          true});
    // The box is shown at once, not at the next timed delivery.
    QMetaObject::invokeMethod(this, &RequestRelay::deliver, Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [&] { return answer.has_value() || m_abandoned; });
    if (answer)
        return *answer;
    return isYesNo(style) ? Button::No : Button::Ok;
}

void RequestRelay::clearJoinList()
{
    m_joinList.clear();
    relay(&WindowDisplay::clearJoinList);
}

void RequestRelay::appendJoinList(const std::string& entry)
{
    m_joinList.push_back(entry);
    relay(&WindowDisplay::appendJoinList, entry);
}

std::int64_t RequestRelay::joinListCount()
{
    return static_cast<std::int64_t>(m_joinList.size());
}

std::string RequestRelay::joinListEntry(std::int64_t index)
{
    if (index < 0 || index >= static_cast<std::int64_t>(m_joinList.size()))
        return {};
    return m_joinList[static_cast<std::size_t>(index)];
}

} // namespace parvix
