#pragma once
// The product's name, version and maker as the dialogs show them; the web
// address is also what a click on the About box's link opens.

#include "res/version.h"

namespace res {

inline constexpr const char* productLine = "Pelmora Version " PELMORA_VERSION;
inline constexpr const char* launcherVersion = "ver." PELMORA_VERSION;
inline constexpr const char* ownerNotice = "Copyright (C) 2026 The Pelmora developers";
inline constexpr const char* webAddress = "https://pelmora.example.org/";

}  // namespace res
