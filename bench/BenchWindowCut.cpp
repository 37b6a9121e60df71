// parvix-bench-window: the cut through the main window, as a user starts it, without a screen.
//
//   parvix-bench-window SOURCE BASE KB
//
// Builds Form2 offscreen, types SOURCE into Text1 and BASE into Text2, chooses "Customize" with KB in
// Text3 and clicks "Cut", answering Yes and OK to every box. Prints "window cut seconds T" (from the
// click until the window has shown the result) and "entries N" (the join list afterwards).
#include "Form2.h"
#include "MessageBox.h"
#include "OperationController.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <chrono>
#include <cstdio>

namespace {

class AnsweringPresenter : public parvix::MessageBoxPresenter
{
public:
    parvix::Button present(QWidget*, const parvix::MessageBoxRequest& request) override
    {
        switch (request.style) {
        case parvix::BoxStyle::Confirmation:
        case parvix::BoxStyle::Question:
        case parvix::BoxStyle::ReplaceQuestion:
            return parvix::Button::Yes;
        case parvix::BoxStyle::Notice:
            break;
        default:
            std::fprintf(stderr, "%s: %s\n", qPrintable(request.title), qPrintable(request.text));
            failed = true;
        }
        return parvix::Button::Ok;
    }
    void dismiss() override {}

    bool failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: parvix-bench-window SOURCE BASE KB\n", stderr);
        return 64;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    parvix::Form2 form;
    AnsweringPresenter presenter;
    form.setMessageBoxPresenter(&presenter);
    form.show();
    QApplication::processEvents();

    // The controls, found by their design names.
    form.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QString::fromLocal8Bit(argv[1]));
    form.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QString::fromLocal8Bit(argv[2]));
    form.findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
    form.findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(QString::fromLocal8Bit(argv[3]));
    QApplication::processEvents();

    QEventLoop cut;
    QObject::connect(&form.operations(), &parvix::OperationController::finished, &cut, &QEventLoop::quit);
    const auto start = std::chrono::steady_clock::now();
    form.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    cut.exec();
    QApplication::processEvents();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("window cut seconds %.3f\nentries %d\n", seconds,
                form.findChild<QListWidget*>(QStringLiteral("List1"))->count());
    return presenter.failed ? 1 : 0;
}
