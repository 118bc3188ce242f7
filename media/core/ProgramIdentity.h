#pragma once
// The program's names, each written once. The build reads the display name, the application id and the version from
// here for the desktop entry, the AppStream data and the package, so what the desktop shows cannot drift from what the
// program shows.
namespace media {

// The program, its desktop entry (media.desktop), its windows' class (WM_CLASS) and its data folder.
inline constexpr char kProgramName[] = "media";
// What the user sees the player called: the main window's caption, the menu entry, MPRIS and the about box.
inline constexpr char kDisplayName[] = "Morvane-Tavri";
// The software centre's name for the player; its AppStream file is named after it.
inline constexpr char kApplicationId[] = "org.morvane.tavri";
inline constexpr char kVersion[] = "1.0";

}  // namespace media
