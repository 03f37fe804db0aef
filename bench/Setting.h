#pragma once
// A benchmark's setting from the environment: a positive whole number, or the fallback when
// the variable is unset or empty. Any other value ends the program with a message, so that a
// mistyped setting never runs with the default unnoticed.
#include <cstdio>
#include <cstdlib>

inline long Setting(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value <= 0) {
        std::fprintf(stderr, "%s=%s: not a positive whole number\n", name, text);
        std::exit(2);
    }
    return value;
}
