#pragma once

// Private to fileops: other parts reach the native services through NativeFiles.h and ErrorMapping.h.
#ifndef PARVIX_FILEOPS_INTERNAL
#error "fileops/native/ is private to fileops"
#endif
