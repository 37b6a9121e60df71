#include "RequestRelay.h"

#include <optional>

namespace parvix {

RequestRelay::RequestRelay(Questions& questions, WindowDisplay& display) : m_questions(questions), m_display(display)
{
    const std::int64_t count = display.joinListCount();
    m_joinList.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        m_joinList.push_back(display.joinListEntry(i));
}

void RequestRelay::post(Request request)
{
    const std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(request));
}

void RequestRelay::deliver()
{
    // A message box runs an event loop of its own, in which the delivery timer fires again: what was
    // requested after the box waits until it has been answered.
    if (m_delivering)
        return;
    m_delivering = true;
    std::vector<Request> batch;
    {
        const std::lock_guard lock(m_mutex);
        batch.swap(m_queue);
    }
    for (auto& request : batch)
        request();
    m_delivering = false;
}

Button RequestRelay::messageBox(const std::string& text, BoxStyle style, BoxTitle title)
{
    std::optional<Button> answer;
    post([&] {
        const Button button = m_questions.messageBox(text, style, title);
        const std::lock_guard lock(m_mutex);
        answer = button;
        m_answered.notify_all();
    });
    // The box is shown at once, not at the next timed delivery.
    QMetaObject::invokeMethod(this, &RequestRelay::deliver, Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [&] { return answer.has_value(); });
    return *answer;
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
