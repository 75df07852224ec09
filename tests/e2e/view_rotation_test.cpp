// Catches arrow keys that turn the view wrongly or fail to wrap, and other keys that turn it.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "program_under_test.h"
#include "scene_geometry.h"

namespace e2e {
namespace {

// 10 pixels per unit: the trunk is 10 pixels wide.
constexpr int WINDOW_SIZE = 500;

struct KeyPresses {
    KeySymbol key;
    int times;
};

// The trunk as a view shows it: its outline on screen, in scene units.
struct TrunkOutline {
    std::string name;
    SceneBox box;
};

// Upright, seen face on: the view of the start.
const TrunkOutline UPRIGHT{"upright", boxAround(0, 0, TRUNK_HALF_WIDTH, TRUNK_HALF_HEIGHT)};
// Turned 45 degrees about the vertical: as wide as the diagonal of its square cross-section.
const TrunkOutline CORNER_ON{"corner on",
                             boxAround(0, 0, std::sqrt(2.0) * TRUNK_HALF_WIDTH, TRUNK_HALF_HEIGHT)};
// Tipped 45 degrees about the horizontal: shortened, with an end face showing.
const TrunkOutline TIPPED{
    "tipped by 45 degrees",
    boxAround(0, 0, TRUNK_HALF_WIDTH, (TRUNK_HALF_HEIGHT + TRUNK_HALF_WIDTH) * std::sqrt(0.5))};
// Tipped 90 degrees: seen end on, a square as wide as the trunk.
const TrunkOutline END_ON{"end on", boxAround(0, 0, TRUNK_HALF_WIDTH, TRUNK_HALF_WIDTH)};

struct ViewCase {
    std::string name;
    std::vector<KeyPresses> presses;
    TrunkOutline expected;
};

std::string nameOf(const testing::TestParamInfo<ViewCase>& info) { return info.param.name; }
void PrintTo(const ViewCase& view, std::ostream* out) { *out << view.name; }

class ViewRotation : public testing::TestWithParam<ViewCase> {};

TEST_P(ViewRotation, ShowsTheTrunkAsTheViewAnglesPredict) {
    const ViewCase& view = GetParam();
    ProgramUnderTest program({"-geometry", "500x500+0+0"});

    for (const KeyPresses& presses : view.presses) {
        program.typeRepeatedly(presses.key, presses.times);
    }
    const auto picture = program.pictureAfterPendingInput();

    const SceneView scene(WINDOW_SIZE, WINDOW_SIZE);
    EXPECT_TRUE(edgesMatch(x11_harness::boundingBox(picture, TRUNK_GREEN, COLOUR_TOLERANCE),
                           view.expected.box, scene))
        << "expected the trunk " << view.expected.name;
}

// 5 degrees a press: 9 presses turn 45 degrees, 18 turn 90, 72 a full turn.
// A full turn looks like no turn at all, so each full turn is also followed
// by 9 more presses: they must look like 9 presses from the start, which a
// view stuck at a wrap-around bound would not.
INSTANTIATE_TEST_SUITE_P(
    ArrowKeys, ViewRotation,
    testing::Values(
        ViewCase{"NineRightTurnTheTrunkCornerOn", {{XK_Right, 9}}, CORNER_ON},
        ViewCase{"NineLeftTurnTheTrunkCornerOn", {{XK_Left, 9}}, CORNER_ON},
        ViewCase{"NineLeftThenNineRightTurnItBack", {{XK_Left, 9}, {XK_Right, 9}}, UPRIGHT},
        ViewCase{"NineUpTipTheTrunk", {{XK_Up, 9}}, TIPPED},
        ViewCase{"NineDownTipTheTrunk", {{XK_Down, 9}}, TIPPED},
        ViewCase{"EighteenUpShowTheTrunkEndOn", {{XK_Up, 18}}, END_ON},
        ViewCase{"EighteenDownShowTheTrunkEndOn", {{XK_Down, 18}}, END_ON},
        ViewCase{"EighteenUpThenEighteenDownBringItBack", {{XK_Up, 18}, {XK_Down, 18}}, UPRIGHT},
        ViewCase{"SeventyTwoUpComeFullCircle", {{XK_Up, 72}}, UPRIGHT},
        ViewCase{"SeventyTwoUpThenNineMoreTipItLikeNine", {{XK_Up, 72}, {XK_Up, 9}}, TIPPED},
        ViewCase{"SeventyTwoDownThenNineMoreTipItLikeNine", {{XK_Down, 72}, {XK_Down, 9}}, TIPPED},
        ViewCase{
            "SeventyTwoLeftThenNineMoreTurnItLikeNine", {{XK_Left, 72}, {XK_Left, 9}}, CORNER_ON},
        ViewCase{"SeventyTwoRightThenNineMoreTurnItLikeNine",
                 {{XK_Right, 72}, {XK_Right, 9}},
                 CORNER_ON}),
    nameOf);

// Nine presses each: were a key to turn the view by a step, 45 degrees
// would show plainly, where one or two steps would not.
INSTANTIATE_TEST_SUITE_P(OtherSpecialKeys, ViewRotation,
                         testing::Values(ViewCase{"F1ChangesNothing", {{XK_F1, 9}}, UPRIGHT},
                                         ViewCase{"F12ChangesNothing", {{XK_F12, 9}}, UPRIGHT},
                                         ViewCase{
                                             "PageUpChangesNothing", {{XK_Page_Up, 9}}, UPRIGHT},
                                         ViewCase{"HomeChangesNothing", {{XK_Home, 9}}, UPRIGHT}),
                         nameOf);

}  // namespace
}  // namespace e2e
