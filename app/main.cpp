// Pelmora: resizes photographs by hand. Files named on the command line
// (as a desktop passes them) are opened as photos once the launcher is up.
#include <cstdio>

#include "app/pelmora_app.h"
#include "res/register_resources.h"

int main(int argc, char** argv) {
    if (!res::RegisterResources()) {
        std::fprintf(stderr, "pelmora: the program's resources could not be registered\n");
        return 1;
    }
    CPelmoraApp app;
    return user::RunApplication(app, argc, argv);
}
