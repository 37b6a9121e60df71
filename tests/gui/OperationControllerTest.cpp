// The operation controller in the real window: the question whether to stop a cut or a join, which
// Escape and the close box ask, and how it meets the engine's own boxes and the engine's end.
#include "OperationController.h"
#include "Form2Fixture.h"
#include "StopRequest.h"

#include <QSignalSpy>
#include <atomic>
#include <chrono>
#include <thread>

namespace parvix {
namespace {

using Kind = OperationController::Kind;
using test::kParvix;

const QString kCutQuestion = QString::fromUtf8("Do you want to stop the cutting？");
const QString kJoinQuestion = QString::fromUtf8("Do you want to stop the joining？");

class OperationControllerTest : public test::Form2Fixture
{
protected:
    // Starts an engine that works until it is told to end or sees a stop, which the engines look for
    // between two chunks of a copy; `last` is what it asks of the window before it ends.
    void startEngine(Kind kind, const std::function<void(WindowParts&)>& last = {})
    {
        end = false;
        stopped = false;
        ASSERT_TRUE(
            form->operations().start(kind, [this, last](WindowParts window, FileServices&, const StopRequest* stop) {
                while (!end && !stop->requested())
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                stopped = stop->requested();
                if (last)
                    last(window);
                return OperationResult{stopped ? Outcome::Interrupted : Outcome::Completed, {}};
            }));
    }

    std::atomic<bool> end = false;
    std::atomic<bool> stopped = false;
};

struct StopCase
{
    const char* name;
    Kind kind;
    bool escape; // else the close box
    Button answer;
    const QString* question; // none for "Add"
};

TEST_F(OperationControllerTest, EscapeOrTheCloseBoxAsksWhetherToStopACutOrAJoin)
{
    const StopCase cases[] = {
        {"Escape during a cut, Yes", Kind::Cut, true, Button::Yes, &kCutQuestion},
        {"the close box during a join, No", Kind::Join, false, Button::No, &kJoinQuestion},
        {"Escape during Add", Kind::Add, true, Button::Yes, nullptr},
        {"the close box during Add", Kind::Add, false, Button::Yes, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        QSignalSpy finished(&form->operations(), &OperationController::finished);
        startEngine(c.kind);
        if (c.question != nullptr)
            boxes.answer(c.answer);
        if (c.escape)
            QTest::keyClick(form.get(), Qt::Key_Escape);
        else
            EXPECT_FALSE(form->close());
        if (c.question != nullptr)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }));
        else
            QTest::qWait(100);
        end = true;
        waitUntilIdle();

        const bool stop = c.question != nullptr && c.answer == Button::Yes;
        EXPECT_EQ(stopped, stop);
        ASSERT_EQ(finished.count(), 1);
        EXPECT_EQ(finished[0][0].value<Outcome>(), stop ? Outcome::Interrupted : Outcome::Completed);
        EXPECT_TRUE(form->isVisible());
        ASSERT_EQ(boxes.shown.size(), c.question != nullptr ? 1u : 0u);
        if (c.question != nullptr) {
            expectBox(0, *c.question, BoxStyle::ReplaceQuestion, kParvix);
        }
    }
}

TEST_F(OperationControllerTest, WhileTheQuestionIsUpTheEnginesBoxWaitsAndEscapeAsksNothingMore)
{
    std::atomic<bool> asked = false;
    startEngine(Kind::Cut, [&](WindowParts& window) {
        asked = true;
        window.messageBox("kept", BoxStyle::Notice, BoxTitle::Parvix);
    });
    boxes.onShow = [&](const MessageBoxRequest& request) {
        if (request.text != kCutQuestion)
            return;
        end = true;
        QTest::keyClick(form.get(), Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return bool(asked); }));
        QTest::qWait(100); // a few deliveries
        EXPECT_EQ(boxes.shown.size(), 1u);
    };
    boxes.answer(Button::No);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    waitUntilIdle();
    EXPECT_EQ(boxes.texts(), (QStringList{kCutQuestion, QStringLiteral("kept")}));
    EXPECT_FALSE(stopped);
}

TEST_F(OperationControllerTest, AnEngineThatEndsWhileTheQuestionIsUpClosesItAsNo)
{
    QSignalSpy finished(&form->operations(), &OperationController::finished);
    startEngine(Kind::Join);
    boxes.onShow = [&](const MessageBoxRequest&) {
        end = true;
        EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.dismissed; }));
        EXPECT_EQ(finished.count(), 0); // the end follows the question
    };
    QTest::keyClick(form.get(), Qt::Key_Escape);
    waitUntilIdle();
    EXPECT_EQ(boxes.texts(), QStringList{kJoinQuestion});
    EXPECT_FALSE(stopped);
    EXPECT_EQ(finished.count(), 1);
}

} // namespace
} // namespace parvix
