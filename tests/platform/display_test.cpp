#include "platform/display.h"

#include <gtest/gtest.h>

namespace {

struct ArgumentsCase {
    const char *name;
    QStringList arguments;
    bool taken;
};

class QtOptions : public ::testing::TestWithParam<ArgumentsCase> {};

// Qt's options, with one "-" or two and with the values they take, are
// taken; anything else, or an option that lacks its value, is not.
TEST_P(QtOptions, AreTakenAndNothingElse)
{
    EXPECT_EQ(platform::SoloOpzioniQt(GetParam().arguments), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QtOptions,
    ::testing::Values(ArgumentsCase{"None", {}, true},
                      ArgumentsCase{"PlatformAndDisplay", {"-platform", "xcb", "-display", ":1"}, true},
                      ArgumentsCase{"TwoDashes", {"--platform", "offscreen", "--reverse"}, true},
                      ArgumentsCase{"StyleBothWays", {"-style", "Fusion", "-style=Fusion", "-stylesheet=a.qss"}, true},
                      ArgumentsCase{"GeometryAndTitle", {"-qwindowgeometry", "100x100+5+5", "-title", "x"}, true},
                      ArgumentsCase{"AValueThatLooksLikeAnOption", {"-qwindowtitle", "-x"}, true},
                      ArgumentsCase{"ShortHelp", {"-h"}, false},
                      ArgumentsCase{"UnknownLong", {"--bogus"}, false},
                      ArgumentsCase{"AWord", {"extra"}, false},
                      ArgumentsCase{"AWordAfterAnOption", {"-reverse", "extra"}, false},
                      ArgumentsCase{"AMissingValue", {"-platform"}, false},
                      ArgumentsCase{"AnEmptyStyle", {"-style="}, false},
                      ArgumentsCase{"ADashAlone", {"-"}, false}),
    [](const ::testing::TestParamInfo<ArgumentsCase> &caso) { return std::string(caso.param.name); });

// A platform that needs no display server is Qt's to judge; an X display
// that nobody serves is no display.
TEST(Display, APlatformWithoutServerIsLeftToQtAndAnXDisplayNobodyServesIsNone)
{
    EXPECT_TRUE(platform::SchermoRaggiungibile({"-platform", "offscreen"}));
    EXPECT_FALSE(platform::SchermoRaggiungibile({"-platform", "xcb", "-display", ":9999"}));
    EXPECT_FALSE(platform::SchermoRaggiungibile({"-platform", "xcb", "-display", ""}));
    EXPECT_TRUE(platform::SchermoRaggiungibile({"-platform", "xcb;offscreen", "-display", ":9999"}));
}

}  // namespace
