#pragma once
// Sets the locale environment for the length of a test and restores it.

#include <cstdlib>
#include <optional>
#include <string>

class ScopedLocaleEnvironment {
public:
    explicit ScopedLocaleEnvironment(const char* lcAll, const char* lang = nullptr) {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(names_[i]);
            if (value != nullptr) saved_[i] = value;
        }
        Set("LC_ALL", lcAll);
        unsetenv("LC_CTYPE");
        Set("LANG", lang);
    }
    ~ScopedLocaleEnvironment() {
        for (int i = 0; i < 3; ++i) Set(names_[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }
    ScopedLocaleEnvironment(const ScopedLocaleEnvironment&) = delete;
    ScopedLocaleEnvironment& operator=(const ScopedLocaleEnvironment&) = delete;

private:
    static void Set(const char* name, const char* value) {
        if (value == nullptr) {
            unsetenv(name);
        } else {
            setenv(name, value, 1);
        }
    }
    const char* names_[3] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::optional<std::string> saved_[3];
};
