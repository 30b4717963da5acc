// Until the launcher exists, the executable only reports which Pelmora it is.
#include <cstdio>

#include "app/version.h"

int main() {
    std::printf("Pelmora %s\n", pelmoraVersion);
    return 0;
}
