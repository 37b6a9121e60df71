#include "OperationController.h"

#include "InputBlocker.h"
#include "WindowBoxes.h"

#include <QCoreApplication>
#include <exception>
#include <future>
#include <mutex>
#include <utility>

namespace parvix {

namespace {

// Asked before a running cut or join stops: Yes and No, question icon, No the default, title "Parvix".
constexpr const char* kStopCutQuestion = "Do you want to stop the cutting？";
constexpr const char* kStopJoinQuestion = "Do you want to stop the joining？";

} // namespace

// Carries an engine's requests from the thread it runs on to the window's thread, each as a queued call
// in the order it was made; a box waits for its answer, which the controller gives when it shows it.
class OperationController::Relay : public QObject, public WindowRequests
{
public:
    Relay(WindowParts window, OperationController& controller) : m_window(window), m_controller(controller) {}

    // Window's thread: the window goes away. Nothing more is carried out; a dropped box lets go of its
    // answer, which the engine then takes for No.
    void abandon()
    {
        const std::lock_guard lock(m_mutex);
        m_abandoned = true;
        QCoreApplication::removePostedEvents(this);
    }

    Button messageBox(const std::string& text, BoxStyle style, BoxTitle title) override
    {
        auto answer = std::make_shared<std::promise<Button>>();
        std::future<Button> answered = answer->get_future();
        try {
            if (post([=, this] { m_controller.engineBox(text, style, title, answer); }))
                return answered.get();
        } catch (const std::future_error&) {
        }
        return isYesNo(style) ? Button::No : Button::Ok;
    }
    void focus(TextBox box) override { relay(&WindowParts::focus, box); }
    void selectAll(TextBox box) override { relay(&WindowParts::selectAll, box); }
    void caretToEnd(TextBox box) override { relay(&WindowParts::caretToEnd, box); }
    void clearJoinList() override { relay(&WindowParts::clearJoinList); }
    void appendJoinList(const std::string& entry) override { relay(&WindowParts::appendJoinList, entry); }
    void setText4(const std::string& text) override { relay(&WindowParts::setText4, text); }
    void setPointer(Pointer pointer) override { relay(&WindowParts::setPointer, pointer); }
    void setProgressMax(float maximum) override { relay(&WindowParts::setProgressMax, maximum); }
    void setProgressValue(float value) override { relay(&WindowParts::setProgressValue, value); }
    void showProgress() override { relay(&WindowParts::showProgress); }
    void hideProgress() override { relay(&WindowParts::hideProgress); }
    void selectTab(int index) override { relay(&WindowParts::selectTab, index); }

private:
    // Queued under the lock, so that nothing is queued once the window has dropped what was queued.
    bool post(std::function<void()> request)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_abandoned)
            QMetaObject::invokeMethod(this, std::move(request), Qt::QueuedConnection);
        return !m_abandoned;
    }

    // Carries a request on to the window, with copies of its arguments.
    template <typename... Params, typename... Args> void relay(void (WindowParts::*request)(Params...), Args... args)
    {
        post([=, this] { (m_window.*request)(args...); });
    }

    WindowParts m_window;
    OperationController& m_controller;
    std::mutex m_mutex;
    bool m_abandoned = false;
};

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
    m_relay = std::make_unique<Relay>(m_parts, *this);
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

void OperationController::engineBox(const std::string& text, BoxStyle style, BoxTitle title,
                                    const std::shared_ptr<std::promise<Button>>& answer)
{
    auto show = [this, text, style, title, answer] { answer->set_value(m_boxes.messageBox(text, style, title)); };
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
