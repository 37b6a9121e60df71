#pragma once

#include "Internal.h"

// The Win32 interface without the min and max macros, which break std::min and std::max, and without
// the parts of it that the file services never use.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
