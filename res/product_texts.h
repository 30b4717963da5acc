#pragma once
// The product's name, version and maker as the dialogs show them; the web
// address is also what a click on the About box's link opens.

namespace res {

inline constexpr const char* productLine = "Pelmora Version 1.0.0";
inline constexpr const char* launcherVersion = "ver.1.0.0";
inline constexpr const char* ownerNotice = "Copyright (C) 2026 The Pelmora developers";
inline constexpr const char* webAddress = "https://pelmora.example.org/";

}  // namespace res
