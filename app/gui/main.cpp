// parvix: the window program.
#include "Form2.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr const char* kUsage =
    "Usage: parvix [FILE]...\n"
    "\n"
    "Opens the Parvix toolbox window, which cuts a file into numbered pieces and joins them again.\n"
    "\n"
    "A first piece (a name ending in .001, .0001 and so on) opens the Join file page with its whole set\n"
    "listed and the joined file proposed; further FILEs are added to the list as \"Add\" adds them.\n"
    "Any other FILE opens the Cut file page with it as the file to cut.\n"
    "\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "  --          take what follows as FILEs, even when it starts with \"-\"\n";

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // A drive without its disk is reported in our own words; the system's "There is no disk in the
    // drive" box must not come first.
    SetErrorMode(SEM_FAILCRITICALERRORS);
#endif
    // Answered before the toolkit starts, so that they need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("parvix %s\n", PARVIX_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    // No application display name: the toolkit would add it to every window title.
    QApplication::setQuitOnLastWindowClosed(true);

    // The toolkit has taken out its own options (-platform, -style …); the rest are files.
    const QString optionsEnd = QStringLiteral("--");
    QStringList paths;
    bool optionsEnded = false;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!optionsEnded && arg == optionsEnd) {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "parvix: unknown option: %s\n\n%s", arg.toLocal8Bit().constData(), kUsage);
            return 64;
        } else {
            paths.push_back(arg);
        }
    }

    parvix::Form2 form;
    // Closing the main window ends the program, whatever other windows are hidden.
    QObject::connect(&form, &parvix::Form2::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    form.show();
    // After show(): a notice about a missing file then stands over the window, not before it.
    form.openPaths(paths);
    return QApplication::exec();
}
