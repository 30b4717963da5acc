#include "tests/support/private_home.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {
namespace {

std::string& HomeFolder() {
    static std::string folder;
    return folder;
}

pid_t owner = 0;

// Only by the program that made it: a forked child that exits must not take
// its parent's home away.
void RemoveHome() {
    std::error_code ignored;
    if (!HomeFolder().empty() && getpid() == owner) std::filesystem::remove_all(HomeFolder(), ignored);
}

}  // namespace

bool UsePrivateHome() {
    if (!HomeFolder().empty()) return true;
    std::string pattern = (std::filesystem::temp_directory_path() / "pelmora-home-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return false;
    HomeFolder() = pattern;
    owner = getpid();
    std::atexit(RemoveHome);
    const struct {
        const char* variable;
        const char* folder;
    } folders[] = {
        {"HOME", ""},
        {"XDG_CONFIG_HOME", "/.config"},
        {"XDG_CACHE_HOME", "/.cache"},
        {"XDG_DATA_HOME", "/.local/share"},
        {"XDG_STATE_HOME", "/.local/state"},
        {"XDG_RUNTIME_DIR", "/runtime"},
    };
    for (const auto& f : folders) {
        const std::string path = pattern + f.folder;
        std::error_code error;
        std::filesystem::create_directories(path, error);
        // The runtime folder must be the user's alone, or the toolkit
        // refuses it.
        if (error || chmod(path.c_str(), 0700) != 0) return false;
        setenv(f.variable, path.c_str(), 1);
    }
    return true;
}

}  // namespace testsupport
