#pragma once
#include <string>

// Run modes: 0 normal, 1 and 2 the demo modes.
enum DemoMode : int { kNormalMode = 0, kDemoMode1 = 1, kDemoMode2 = 2 };

// The demo mode from the command-line text after the program name and the
// keys held at start. Only the whole text "-demo1" / "-demo2" counts (ASCII
// letter case ignored); anything more selects no demo mode by argument.
int ChooseDemoMode(const std::wstring& commandLine, bool shiftDown, bool ctrlDown);
