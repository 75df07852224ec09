// SPDX-License-Identifier: MIT
// Catches console text lost or a failing exit status when the program is ended (menu "Kilepes" or a window-manager close) while a burst of its output is still on its way, on a terminal and through a pipe.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "program_session.h"
#include "x_windows.h"

namespace {

using namespace reliability;
using x11_harness::Console;

constexpr int BURST_KEYS = 600;

enum class Ending { MenuExit, WindowClose };

struct EndingCase {
    const char* name;
    Ending ending;
    Console console;
};

class ExitAfterBurst : public ::testing::TestWithParam<EndingCase> {};

TEST_P(ExitAfterBurst, EndsWithStatusZeroAndEveryLineWritten) {
    const EndingCase& ending = GetParam();
    x11_harness::XvfbServer server;
    x11_harness::XConnection x(server.displayName());
    SessionOptions options;
    options.console = ending.console;
    ProgramSession session(server, x, options);
    const auto geometry = x11_harness::windowGeometry(x, session.window());

    // The burst, then the toggle line: through a pipe nothing but the exit
    // itself flushes that last line, since the menu handler does not.
    const auto strokes = strokeSequence(BURST_KEYS, geometry.width, geometry.height);
    std::string expected;
    for (const KeyStroke& stroke : strokes) {
        expected += reportLine(stroke);
    }
    expected += TOGGLE_LINE;
    sendStrokes(x, session.window(), strokes);
    chooseMenuEntry(x, session.window(), geometry.width / 2, geometry.height / 2,
                    MENU_ENTRY_TOGGLE);

    if (ending.ending == Ending::MenuExit) {
        chooseMenuEntry(x, session.window(), geometry.width / 2, geometry.height / 2,
                        MENU_ENTRY_EXIT);
    } else {
        x11_harness::requestClose(x, session.window());
    }
    const auto status = session.process().waitForExit(EVENT_TIMEOUT);

    EXPECT_TRUE(status.isSuccess()) << status.describe() << "; error output: "
                                    << x11_harness::printable(session.process().errorOutput());
    const std::string output = session.process().output();
    EXPECT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected) << "first difference at byte "
                                    << std::distance(output.begin(),
                                                     std::mismatch(output.begin(), output.end(),
                                                                   expected.begin(),
                                                                   expected.end())
                                                         .first);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ExitAfterBurst,
    ::testing::Values(EndingCase{"MenuExitTerminal", Ending::MenuExit, Console::Terminal},
                      EndingCase{"MenuExitPipe", Ending::MenuExit, Console::Pipe},
                      EndingCase{"WindowCloseTerminal", Ending::WindowClose, Console::Terminal},
                      EndingCase{"WindowClosePipe", Ending::WindowClose, Console::Pipe}),
    [](const ::testing::TestParamInfo<EndingCase>& param) { return param.param.name; });

}  // namespace
