#pragma once

#include "WindowRequests.h"

#include <QObject>
#include <functional>
#include <mutex>

namespace parvix {

// Carries an engine's requests from the thread it runs on to the window's thread, each as a queued call
// in the order it was made. A box waits for its answer; the window may hold a box back while another
// is up, and answers it later through `answer`.
class RequestRelay : public QObject, public WindowRequests
{
public:
    using Boxes =
        std::function<void(std::string text, BoxStyle style, BoxTitle title, std::function<void(Button)> answer)>;

    // Made on the window's thread; `window` and `boxes` are used only there.
    RequestRelay(WindowParts window, Boxes boxes) : m_window(window), m_boxes(std::move(boxes)) {}

    // Window's thread: the window goes away. Nothing more is carried out, and a box the engine waits
    // for, or asks from now on, is answered with No (OK where that is its only button).
    void abandon();

    // From the engine's thread.
    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override;
    void focus(TextBox box) override
    {
        post([=, this] { m_window.focus(box); });
    }
    void selectAll(TextBox box) override
    {
        post([=, this] { m_window.selectAll(box); });
    }
    void caretToEnd(TextBox box) override
    {
        post([=, this] { m_window.caretToEnd(box); });
    }
    void clearJoinList() override
    {
        post([this] { m_window.clearJoinList(); });
    }
    void appendJoinList(const std::string& entry) override
    {
        post([=, this] { m_window.appendJoinList(entry); });
    }
    void setText4(const std::string& text) override
    {
        post([=, this] { m_window.setText4(text); });
    }
    void setPointer(Pointer pointer) override
    {
        post([=, this] { m_window.setPointer(pointer); });
    }
    void setProgressMax(float maximum) override
    {
        post([=, this] { m_window.setProgressMax(maximum); });
    }
    void setProgressValue(float value) override
    {
        post([=, this] { m_window.setProgressValue(value); });
    }
    void showProgress() override
    {
        post([this] { m_window.showProgress(); });
    }
    void hideProgress() override
    {
        post([this] { m_window.hideProgress(); });
    }
    void selectTab(int index) override
    {
        post([=, this] { m_window.selectTab(index); });
    }

private:
    // Queued on the window's thread, unless the window has gone.
    bool post(std::function<void()> request);

    WindowParts m_window;
    Boxes m_boxes;
    std::mutex m_mutex;
    bool m_abandoned = false;
};

} // namespace parvix
