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
// were made. Requests that answer nothing are queued and delivered in batches; a message box waits for
// the window's answer. The join list is read from a copy kept here: while an operation runs, only its
// own requests change the list, so the copy is exact and a read needs no trip to the window's thread.
class RequestRelay : public QObject, public WindowRequests
{
public:
    // Made on the window's thread; `window` is used only there.
    explicit RequestRelay(WindowRequests& window);

    // Window's thread: carries out what has been requested so far.
    void deliver();

    // WindowRequests, from the engine's thread.
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;
    void focus(TextBox box) override;
    void selectAll(TextBox box) override;
    void caretToEnd(TextBox box) override;
    void clearJoinList() override;
    void appendJoinList(const std::string& entry) override;
    std::int64_t joinListCount() override;
    std::string joinListEntry(std::int64_t index) override;
    void setText4(const std::string& text) override;
    void setPointer(Pointer pointer) override;
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void showProgress() override;
    void hideProgress() override;
    void selectTab(int index) override;

private:
    using Request = std::function<void(WindowRequests&)>;
    void post(Request request);

    WindowRequests& m_window;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::vector<Request> m_queue;
    bool m_delivering = false;
    std::vector<std::string> m_joinList;
};

} // namespace parvix
