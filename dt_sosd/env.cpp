// Reading the process environment.
#include "dt_sosd/env.h"

#include <cstdlib>
#include <cstring>

namespace tavo::sosd {

int32_t environment_value(const char *name, char *buf, uint32_t size) noexcept {
    const char *value = name ? std::getenv(name) : nullptr;
    if (!value) return -1;
    const size_t len = std::strlen(value);
    if (buf && size > 0) {
        const size_t n = len < size - 1 ? len : size - 1;
        std::memcpy(buf, value, n);
        buf[n] = '\0';
    }
    return len > INT32_MAX ? INT32_MAX : static_cast<int32_t>(len);
}

}  // namespace tavo::sosd
