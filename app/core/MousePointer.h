#pragma once

// The main window's mouse pointer values.
namespace MousePointer {
constexpr int Default = 0;
constexpr int Hourglass = 11;
constexpr int Custom = 99;
}  // namespace MousePointer
