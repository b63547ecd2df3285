#pragma once
// The hex field conversion: how a hexadecimal text typed into a register
// field, or a piece of a flash image file, becomes a number. It behaves as
// wcstoul(text, nullptr, 16) with a 32-bit unsigned long (as on Windows):
// leading white space, an optional sign, an optional "0x"/"0X", then hex
// digits up to the first other character. No digits gives 0, a value beyond
// 32 bits gives 0xFFFFFFFF, and "-" negates modulo 2^32. Never fails.
#include <cstdint>
#include <string_view>

uint32_t HexFieldValue(std::wstring_view text);

// The command number of a register field: the low 8 bits.
uint8_t HexFieldCommand(std::wstring_view text);
// The data word of a register field: the low 16 bits.
uint16_t HexFieldData(std::wstring_view text);
