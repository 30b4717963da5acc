// main() of every GUI test program: the tests run against a private Xvfb.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/private_home.h"
#include "tests/support/private_xvfb.h"

int main(int argc, char** argv) {
    if (!testsupport::UsePrivateHome()) {
        std::fprintf(stderr, "cannot make the tests' private home folder\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no server.
    if (!testing::GTEST_FLAG(list_tests)) {
        std::string error;
        if (!testsupport::StartPrivateXvfbForQt(&error)) {
            std::fprintf(stderr, "cannot start the test X server: %s\n", error.c_str());
            return 1;
        }
    }
    const int result = RUN_ALL_TESTS();
    testsupport::StopPrivateXvfb();
    return result;
}
