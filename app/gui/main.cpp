// parvix: the window program.
#include "Form2.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // No application display name: the toolkit would add it to every window title.
    QApplication::setQuitOnLastWindowClosed(true);

    parvix::Form2 form;
    // Closing the main window ends the program, whatever other windows are hidden.
    QObject::connect(&form, &parvix::Form2::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
