#pragma once

namespace parvix {

class StopRequest;

// Ctrl+C and SIGTERM (Ctrl+C and Ctrl+Break on Windows) ask `stop`, which the engines look at between two
// chunks of their copy; a second one ends the program at once. A SIGINT that the shell ignores (a
// background job) stays ignored. `stop` must outlive the program's work.
void stopOnSignals(StopRequest& stop);

} // namespace parvix
