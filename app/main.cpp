// Pelmora: resizes photographs by hand. Takes no command-line arguments.
#include <cstdio>

#include "app/pelmora_app.h"
#include "res/register_resources.h"

int main() {
    if (!res::RegisterResources()) {
        std::fprintf(stderr, "pelmora: the program's resources could not be registered\n");
        return 1;
    }
    CPelmoraApp app;
    return user::RunApplication(app);
}
