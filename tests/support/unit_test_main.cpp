// main() of every non-GUI test program.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/private_home.h"

int main(int argc, char** argv) {
    if (!testsupport::UsePrivateHome()) {
        std::fprintf(stderr, "cannot make the tests' private home folder\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
