// Reads a non-negative count from the environment, for test sizes and seeds
// that a developer may raise locally. Unset or empty gives the fallback; text
// that is not a plain non-negative number gives nothing, so the caller can fail
// loudly instead of running a different test than asked for.
#pragma once

#include <cstdlib>
#include <optional>

namespace pasdraw::testing {

inline std::optional<long> envCount(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*end != '\0' || n < 0) return std::nullopt;
    return n;
}

}  // namespace pasdraw::testing
