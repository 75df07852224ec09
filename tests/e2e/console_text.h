// The texts the program writes to its console, built from their documented
// formats rather than copied from an observed run.
#pragma once

#include <string>

namespace e2e {

// Appended to a key report for each modifier held, in this order.
inline const std::string SHIFT_TEXT = "SHIFT lenyomva. ";
inline const std::string CTRL_TEXT = "CTRL lenyomva. ";
inline const std::string ALT_TEXT = "ALT lenyomva. ";

// Written when the first menu entry is chosen.
inline const std::string TOGGLE_LINE = "1. menupont kivalasztva.\n";

// The report of `key` typed with the pointer at (x, y) in the window and
// the texts of the modifiers held.
inline std::string keyReportLine(char key, int x, int y, const std::string& modifierTexts = "") {
    return std::string("Billentyu lenyomva, kodja ") + key + ", pozicio (" + std::to_string(x) +
           "," + std::to_string(y) + "). " + modifierTexts + "\n";
}

}  // namespace e2e
