#pragma once

#include <functional>

class QWidget;

namespace parvix {

class WindowRequests;

// Runs an engine on a thread of its own and returns when it has ended, as if it had run right here.
// Meanwhile the window keeps painting and answering the desktop, so that it is never taken for hung
// and killed in the middle of a write, while its user input is dropped: no second operation, page
// change or close can start. The engine reaches the window only through `requests`, relayed to this
// thread in their order. An exception that leaves the engine is thrown again here.
void runOperation(QWidget& window, WindowRequests& requests, const std::function<void(WindowRequests&)>& operation);

} // namespace parvix
