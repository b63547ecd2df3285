#pragma once
// Flash images and their text files for the tests that write them.
#include <cstdint>
#include <string>
#include <vector>

// The bytes as upper-case digit pairs, perLine characters to a line.
inline std::string HexLines(const std::vector<uint8_t>& bytes, size_t perLine = 32, const char* eol = "\r\n")
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    size_t onLine = 0;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
        onLine += 2;
        if (onLine >= perLine) {
            text += eol;
            onLine = 0;
        }
    }
    return text;
}

// A full image whose bytes differ from block to block; the word at
// 1604..1605 is fileWord.
inline std::vector<uint8_t> PatternImage(size_t size, uint8_t seed, uint16_t fileWord = 0x1234)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + (i >> 7) * 31 + seed);
    if (size > 1605) {
        image[1604] = static_cast<uint8_t>(fileWord & 0xFF);
        image[1605] = static_cast<uint8_t>(fileWord >> 8);
    }
    return image;
}
