// The X types the harness's interface uses, declared without Xlib.h.
//
// Xlib's headers define macros such as None, True, Bool and Status, which
// break other code included after them (GoogleTest has a type named None).
// So only the harness's .cpp files include Xlib; its headers use these
// aliases, which are the very types Xlib calls Window, KeySym, Atom and
// Display (x_connection.cpp checks that at compile time). Key symbols come
// from <X11/keysym.h>, which defines nothing but XK_ constants.
#pragma once

struct _XDisplay;

namespace x11_harness {

using XDisplay = ::_XDisplay;
using WindowId = unsigned long;
using KeySymbol = unsigned long;
using AtomId = unsigned long;

}  // namespace x11_harness
