// A client connection to an X server, owned for its lifetime, with X errors
// turned into exceptions instead of Xlib's default of ending the process.
#pragma once

#include <string>

#include "x_types.h"

namespace x11_harness {

class XConnection {
public:
    // Opens `displayName` (for example ":3") and checks that the XTEST
    // extension, which fakes the user's input, is there. Throws
    // std::runtime_error if either fails.
    explicit XConnection(const std::string& displayName);
    ~XConnection();

    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    XDisplay* display() const { return display_; }
    WindowId root() const;
    const std::string& displayName() const { return displayName_; }

    AtomId atom(const char* name) const;

    // Waits until the server has handled every request sent so far, then
    // throws std::runtime_error naming `what` if any of them failed.
    // The program under test may destroy its windows at any moment, so
    // requests about them can fail without any fault of the harness.
    void syncAndCheck(const std::string& what);

    // Waits for the server like syncAndCheck, and forgets any errors: for
    // requests whose failure the caller detects by other means.
    void syncIgnoringErrors();

private:
    XDisplay* display_ = nullptr;
    std::string displayName_;
};

}  // namespace x11_harness
