#include "StopSignals.h"

#include "StopRequest.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

namespace parvix {

namespace {

// Asked from a signal handler.
StopRequest* stopAsked = nullptr;

#ifdef _WIN32
BOOL WINAPI onConsoleControl(DWORD)
{
    // A second one goes on to the system's handler, which ends the program.
    if (stopAsked->requested())
        return FALSE;
    stopAsked->request();
    return TRUE;
}
#else
extern "C" void onStopSignal(int)
{
    stopAsked->request();
}
#endif

} // namespace

void stopOnSignals(StopRequest& stop)
{
    stopAsked = &stop;
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a question waiting on the terminal gives up, and is answered No. SA_RESETHAND: the
    // second signal finds the system's own action, which ends the program.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction previous = {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

} // namespace parvix
