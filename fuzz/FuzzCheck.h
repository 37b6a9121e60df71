#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A broken property is a crash for libFuzzer: it stops, saves the input and reports it.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

inline std::string_view asText(const unsigned char* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}
