// The default language: VELMAR_LANG when the environment sets it, read
// once at first use; a name the library does not know is an error.
#include <cstdlib>

#include "lx_test_util.hpp"

namespace {

// Runs before any test touches the default.
const bool g_set = [] { return setenv("VELMAR_LANG", "german_germany.we8iso8859p1", 1) == 0; }();

TEST(LxDefault, ComesFromTheEnvironment) {
    ASSERT_TRUE(g_set);
    lxlinfo info;
    ASSERT_EQ(lxlfill(&info, nullptr, 0), LXS_OK);
    char name[64];
    lxlname(&info, name, sizeof name);
    EXPECT_STREQ(name, "GERMAN_GERMANY.WE8ISO8859P1");
    const lxlinfo *dflt = lxldflt();
    ASSERT_NE(dflt, nullptr);
    EXPECT_EQ(dflt->decimal, ',');
    EXPECT_EQ(lxenvget(nullptr), lxenvget(dflt));
    lxwork w;
    ASSERT_EQ(lxwbind(&w, nullptr), LXS_OK);
    EXPECT_EQ(lxcsid(&w), LXCS_WE8ISO8859P1);
    // Read once: a later change does not move the default.
    setenv("VELMAR_LANG", "KLINGON", 1);
    EXPECT_EQ(lxlfill(&info, nullptr, 0), LXS_OK);
    EXPECT_EQ(lxldflt(), dflt);
}

}  // namespace
