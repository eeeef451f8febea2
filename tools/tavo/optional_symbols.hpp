// Provisional: the number-model and transcendental functions are declared
// in lnx.h but land in the library separately. Until they are in it, they
// are weak references here, and a function whose entry point is missing is
// reported as unavailable instead of failing the link.
#pragma once

#include "lnx.h"

#pragma weak lnxpfl
#pragma weak lnxnft
#pragma weak lnxfcn
#pragma weak lnxcpn
#pragma weak lnxsqr
#pragma weak lnxpow
#pragma weak lnxbex
#pragma weak lnxln
#pragma weak lnxlog
#pragma weak lnxqtra
#pragma weak lnxqtri
#pragma weak lnxatn2

namespace tavo::cli {

inline bool present(const void *entry) {
    return entry != nullptr;
}

inline bool has_number_printing() {
    return present(reinterpret_cast<const void *>(&lnxpfl)) &&
           present(reinterpret_cast<const void *>(&lnxnft));
}
inline bool has_number_reading() {
    return present(reinterpret_cast<const void *>(&lnxpfl)) &&
           present(reinterpret_cast<const void *>(&lnxfcn));
}
inline bool has_lnxcpn() {
    return present(reinterpret_cast<const void *>(&lnxcpn));
}
inline bool has_lnxsqr() {
    return present(reinterpret_cast<const void *>(&lnxsqr));
}
inline bool has_lnxpow() {
    return present(reinterpret_cast<const void *>(&lnxpow));
}
inline bool has_lnxbex() {
    return present(reinterpret_cast<const void *>(&lnxbex));
}
inline bool has_lnxln() {
    return present(reinterpret_cast<const void *>(&lnxln));
}
inline bool has_lnxlog() {
    return present(reinterpret_cast<const void *>(&lnxlog));
}
inline bool has_lnxqtra() {
    return present(reinterpret_cast<const void *>(&lnxqtra));
}
inline bool has_lnxqtri() {
    return present(reinterpret_cast<const void *>(&lnxqtri));
}
inline bool has_lnxatn2() {
    return present(reinterpret_cast<const void *>(&lnxatn2));
}

}  // namespace tavo::cli
