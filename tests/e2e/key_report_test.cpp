// Catches key reports with wrong text, key byte, position or modifiers, held back, or that quit.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console_text.h"
#include "program_under_test.h"

namespace e2e {
namespace {

// What the toolkit delivers for the key a: a capital with Shift, the
// control character 0x01 with Ctrl (Alt adds nothing to the character).
constexpr char SMALL_A = 'a';
constexpr char CAPITAL_A = 'A';
constexpr char CONTROL_A = '\x01';
constexpr char ESCAPE = '\x1b';

// Types `key` with `modifiers` held, then a full stop as a marker, and
// returns the output once the marker's report has arrived. Reports come in
// the order the keys were typed, so anything extra the first key caused
// (a second line, say) shows up before the marker.
std::string outputOfKey(ProgramUnderTest& program, int x, int y, KeySymbol key,
                        const std::vector<KeySymbol>& modifiers = {}) {
    program.pointAt(x, y);
    program.type(key, modifiers);
    program.type(XK_period);
    const std::string marker = keyReportLine('.', x, y);
    const std::string output = program.process().waitForOutput(
        "the report of the marker key", REACTION_TIMEOUT, [&marker](const std::string& text) {
            return text.size() >= marker.size() &&
                   text.compare(text.size() - marker.size(), marker.size(), marker) == 0;
        });
    return x11_harness::printable(output.substr(0, output.size() - marker.size()));
}

struct KeyCase {
    std::string name;
    KeySymbol key;
    std::vector<KeySymbol> modifiers;
    int pointerX;
    int pointerY;
    char delivered;             // the byte the toolkit hands the program
    std::string modifierTexts;  // what the report must list
};

std::string nameOf(const testing::TestParamInfo<KeyCase>& info) { return info.param.name; }
void PrintTo(const KeyCase& keyCase, std::ostream* out) { *out << keyCase.name; }

class OneKeyReport : public testing::TestWithParam<KeyCase> {};

TEST_P(OneKeyReport, IsOneExactLineWithThePointerPositionAndTheModifiersHeld) {
    const KeyCase& key = GetParam();
    ProgramUnderTest program;

    EXPECT_EQ(outputOfKey(program, key.pointerX, key.pointerY, key.key, key.modifiers),
              x11_harness::printable(
                  keyReportLine(key.delivered, key.pointerX, key.pointerY, key.modifierTexts)));
}

// The modifier keys, as held.
constexpr KeySymbol SHIFT = XK_Shift_L;
constexpr KeySymbol CTRL = XK_Control_L;
constexpr KeySymbol ALT = XK_Alt_L;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, OneKeyReport, testing::Values(
    KeyCase{"Plain",  XK_a,      {}, 120,  45, SMALL_A, ""},
    KeyCase{"Digit",  XK_7,      {},   7, 291, '7',     ""},
    KeyCase{"Space",  XK_space,  {}, 299,   0, ' ',     ""},
    KeyCase{"Escape", XK_Escape, {}, 150, 150, ESCAPE,  ""}),
    nameOf);

// Every combination of the three modifiers, each pressed before the key and
// released after it, as a user holds them. The last is pressed in the
// reverse order and still reported in the fixed order.
INSTANTIATE_TEST_SUITE_P(Modifiers, OneKeyReport, testing::Values(
    KeyCase{"Shift",        XK_a, {SHIFT},            120,  45, CAPITAL_A, SHIFT_TEXT},
    KeyCase{"Ctrl",         XK_a, {CTRL},              33, 250, CONTROL_A, CTRL_TEXT},
    KeyCase{"Alt",          XK_a, {ALT},              260,  12, SMALL_A,   ALT_TEXT},
    KeyCase{"ShiftCtrl",    XK_a, {SHIFT, CTRL},        1,   2, CONTROL_A, SHIFT_TEXT + CTRL_TEXT},
    KeyCase{"ShiftAlt",     XK_a, {SHIFT, ALT},       120,  45, CAPITAL_A, SHIFT_TEXT + ALT_TEXT},
    KeyCase{"CtrlAlt",      XK_a, {CTRL, ALT},        200, 100, CONTROL_A, CTRL_TEXT + ALT_TEXT},
    KeyCase{"AltCtrlShift", XK_a, {ALT, CTRL, SHIFT},  64, 128, CONTROL_A,
            SHIFT_TEXT + CTRL_TEXT + ALT_TEXT}),
    nameOf);
// clang-format on

TEST(KeyReports, EscapeDoesNotQuit) {
    ProgramUnderTest program;

    EXPECT_EQ(outputOfKey(program, 10, 20, XK_Escape),
              x11_harness::printable(keyReportLine(ESCAPE, 10, 20)));
    // The marker after Escape was handled, and the program still runs.
    EXPECT_TRUE(program.process().isRunning());
    EXPECT_NO_THROW(program.waitForNewPictures(1)) << "the program stopped drawing";
}

TEST(KeyReports, ReachesAPipeAtOnce) {
    // Through a pipe the C library holds output back until a flush: the
    // line arrives while the program runs only if each report is flushed.
    ProgramUnderTest program({}, Console::Pipe);

    EXPECT_EQ(outputOfKey(program, 120, 45, XK_a),
              x11_harness::printable(keyReportLine(SMALL_A, 120, 45)));
}

TEST(KeyReports, OneLinePerKeyInTypingOrder) {
    ProgramUnderTest program;
    program.pointAt(50, 60);

    for (const KeySymbol key : std::vector<KeySymbol>{XK_h, XK_e, XK_l, XK_l}) {
        program.type(key);
    }

    std::string expected;
    for (const char key : std::string("hello")) {
        expected += keyReportLine(key, 50, 60);
    }
    EXPECT_EQ(outputOfKey(program, 50, 60, XK_o), x11_harness::printable(expected));
}

}  // namespace
}  // namespace e2e
