#pragma once

#include "WindowDisplay.h"
#include "WindowQuestions.h"

namespace parvix {

// Everything an engine asks of the window: its boxes and what it shows. The main window, the console
// program and the tests' recorder each implement both parts; a caller that needs only a box (the
// disk-error report, the directory chooser) takes Questions alone.
class WindowRequests : public Questions, public WindowDisplay
{
};

} // namespace parvix
