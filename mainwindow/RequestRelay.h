#pragma once

#include "WindowRequests.h"

#include <QObject>
#include <condition_variable>
#include <deque>
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
    // Made on the window's thread; `window` is used only there.
    explicit RequestRelay(WindowRequests& window);

    // Window's thread: carries out what has been requested so far, up to a box while boxes are held.
    void deliver();
    // Window's thread: while held, the engine's boxes wait (and so does all it asked after them), for
    // another box is up.
    void holdBoxes(bool held) { m_boxesHeld = held; }
    // Window's thread: the window goes away. From now on nothing is carried out, and every box the
    // engine asks is answered at once with No (OK where that is its only button).
    void abandon();

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
    struct Request
    {
        std::function<void()> run;
        bool box = false;
    };
    void post(Request request);

    // Queues `request` of the window with copies of its arguments.
    template <typename... Params, typename... Args> void relay(void (WindowDisplay::*request)(Params...), Args... args)
    {
        post({[this, request, args...] { (static_cast<WindowDisplay&>(m_window).*request)(args...); }});
    }

    WindowRequests& m_window;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::deque<Request> m_queue;
    bool m_abandoned = false;
    bool m_delivering = false;
    bool m_boxesHeld = false;
    std::vector<std::string> m_joinList;
};

} // namespace parvix
