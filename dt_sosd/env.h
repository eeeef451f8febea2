// Reading the process environment: the one OS call of the language support.
#pragma once

#include <cstdint>

namespace tavo::sosd {

// Copies the value of the environment variable name, NUL-terminated, into
// buf (size bytes; the value is cut to size - 1 bytes). Returns the full
// length of the value, or -1 when the variable is not set.
int32_t environment_value(const char *name, char *buf, uint32_t size) noexcept;

}  // namespace tavo::sosd
