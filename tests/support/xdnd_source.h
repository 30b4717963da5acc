#pragma once
// A drag source speaking XDND (version 5) as a desktop file manager does:
// it offers a list of addresses as text/uri-list, moves onto a window,
// drops there and answers the target's request for the data.

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/x_session.h"

namespace testsupport {

enum class DropOutcome {
    taken,     // the target accepted the drop and said it is done
    refused,   // the target did not want it (the drag was left)
    noAnswer,  // nothing came back in time
};

// Drags uris onto the top-level window target of $DISPLAY and drops them
// at (rootX, rootY), offering the copy action. Serves the data until the
// target finishes; uses a connection of its own, so it can run on a helper
// thread.
DropOutcome DropUris(XWindow target, int rootX, int rootY, const std::vector<std::string>& uris,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The file: address of an absolute path, its bytes percent-encoded where
// an address must not hold them.
std::string FileUri(const std::string& path);

}  // namespace testsupport
