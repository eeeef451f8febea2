// The calendar of the environments: the Gregorian calendar of the date
// type itself, whose eras are AD and BC.
#include "langsupport/lx_internal.h"

using namespace tavo::lx;

extern "C" {

TAVO_API int32_t lxcalto(const lxdate *date, lxdate *local, int32_t *era, lxwork *w) noexcept {
    if (!begin(w)) return w ? w->status : LXS_BADARG;
    if (!date || !local || !era) return w->status = LXS_BADARG;
    *local = *date;
    *era = date->year < 0 ? LXERA_BC : LXERA_AD;
    return LXS_OK;
}

TAVO_API int32_t lxcalfrom(const lxdate *local, int32_t era, lxdate *date, lxwork *w) noexcept {
    if (!begin(w)) return w ? w->status : LXS_BADARG;
    if (!local || !date) return w->status = LXS_BADARG;
    lxdate d = *local;
    switch (era) {
        case LXERA_NONE:
            break;
        case LXERA_AD:
            if (d.year < 0) return w->status = LXS_BADARG;
            break;
        case LXERA_BC:
            if (d.year > 0) d.year = static_cast<int16_t>(-d.year);
            break;
        default:
            return w->status = LXS_BADARG;
    }
    *date = d;
    return LXS_OK;
}

}  // extern "C"
