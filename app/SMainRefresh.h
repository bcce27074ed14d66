// Parts of the main window a change leaves out of date. The controller's operations and the main
// window's rules return these bits; the window applies them.
#pragma once

#include <cstdint>

// The menu bits double as the groups ControlStates computes (a menu's tool buttons belong to its
// group).
namespace main_refresh {
inline constexpr std::uint32_t Title = 1u << 0;          // caption and application title from the controller
inline constexpr std::uint32_t CanvasSize = 1u << 1;     // the canvas resized for the zoom
inline constexpr std::uint32_t Canvas = 1u << 2;         // the canvas repainted
inline constexpr std::uint32_t DocumentPanel = 1u << 3;  // status bar panel 3 (the document)
inline constexpr std::uint32_t StatusBar = 1u << 4;      // every status bar panel
inline constexpr std::uint32_t PaletteBox = 1u << 5;
inline constexpr std::uint32_t ReferencePane = 1u << 6;
inline constexpr std::uint32_t FileMenu = 1u << 8;  // with the history submenu
inline constexpr std::uint32_t EditMenu = 1u << 9;
inline constexpr std::uint32_t ToolMenu = 1u << 10;
inline constexpr std::uint32_t LayerMenu = 1u << 11;
inline constexpr std::uint32_t ViewMenu = 1u << 12;
inline constexpr std::uint32_t ReferenceMenu = 1u << 13;
inline constexpr std::uint32_t AllMenus = FileMenu | EditMenu | ToolMenu | LayerMenu | ViewMenu | ReferenceMenu;
// What a change of tool, colour mode or trace pen needs.
inline constexpr std::uint32_t ToolChange = ToolMenu | StatusBar;
// What a freshly loaded or cleared document needs.
inline constexpr std::uint32_t NewDocument = Title | CanvasSize | Canvas | DocumentPanel | FileMenu | EditMenu;
}  // namespace main_refresh
