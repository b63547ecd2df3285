#pragma once
// Which command buttons each state of the main window enables or disables.
#include <cstddef>

enum class EnableState { StartUp, Measuring, Idle, FlashWriting, AfterFlash, ImageLoaded };

// What a state does to one button: leave it, enable, disable, or enable it
// only when a flash image is loaded (otherwise leave it).
enum class ButtonAction { Keep, On, Off, OnIfImage };

// The buttons of the table, in column order: Communicate, Start measure,
// Stop measure, Clear log, Store log..., Read word, Write word, Open file,
// Flash write.
constexpr int kEnableStateButtons[] = {1009, 1000, 1001, 1006, 1007, 1034, 1035, 1040, 1041};
constexpr std::size_t kEnableStateButtonCount = sizeof(kEnableStateButtons) / sizeof(kEnableStateButtons[0]);

ButtonAction EnableStateAction(EnableState state, std::size_t button);
