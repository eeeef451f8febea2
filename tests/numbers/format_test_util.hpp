// What the format-model tests share: a language environment by name.
#pragma once

#include <gtest/gtest.h>

#include "lx.h"

namespace numtest {

// The filled record of a language, territory and character set name.
inline lxlinfo language(const char *name) {
    lxlinfo info{};
    EXPECT_EQ(lxlfill(&info, name, 0), LXS_OK) << name;
    return info;
}

}  // namespace numtest
