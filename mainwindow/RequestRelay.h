#pragma once

#include "WindowRequests.h"

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace parvix {

// Carries an engine's requests from the thread it runs on to the window's thread, in the order they
// were made. What the engine shows is queued and delivered in batches; a message box waits for the
// window's answer. The join list is read from a copy kept here: while an operation runs, only its own
// requests change the list, so the copy is exact and a read needs no trip to the window's thread.
class RequestRelay : public QObject, public WindowRequests
{
public:
    // Made on the window's thread; `questions` and `display` are used only there.
    RequestRelay(Questions& questions, WindowDisplay& display);

    // Window's thread: carries out what has been requested so far.
    void deliver();

    // Questions, from the engine's thread.
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;

    // WindowDisplay, from the engine's thread. The join list is also kept in the copy.
    void focus(TextBox box) override { relay(&WindowDisplay::focus, box); }
    void selectAll(TextBox box) override { relay(&WindowDisplay::selectAll, box); }
    void caretToEnd(TextBox box) override { relay(&WindowDisplay::caretToEnd, box); }
    void clearJoinList() override;
    void appendJoinList(const std::string& entry) override;
    std::int64_t joinListCount() override;
    std::string joinListEntry(std::int64_t index) override;
    void setText4(const std::string& text) override { relay(&WindowDisplay::setText4, text); }
    void setPointer(Pointer pointer) override { relay(&WindowDisplay::setPointer, pointer); }
    void setProgressMax(float maximum) override { relay(&WindowDisplay::setProgressMax, maximum); }
    void setProgressValue(float value) override { relay(&WindowDisplay::setProgressValue, value); }
    void showProgress() override { relay(&WindowDisplay::showProgress); }
    void hideProgress() override { relay(&WindowDisplay::hideProgress); }
    void selectTab(int index) override { relay(&WindowDisplay::selectTab, index); }

private:
    using Request = std::function<void()>;
    void post(Request request);

    // Queues `request` of the display with copies of its arguments.
    template <typename... Params, typename... Args> void relay(void (WindowDisplay::*request)(Params...), Args... args)
    {
        post([this, request, args...] { (m_display.*request)(args...); });
    }

    Questions& m_questions;
    WindowDisplay& m_display;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::vector<Request> m_queue;
    bool m_delivering = false;
    std::vector<std::string> m_joinList;
};

} // namespace parvix
