#pragma once
// File images of the program's pictures: 24-bit BMP for the bitmap
// resources and a 32-bit ICO for the application icon.
#include <cstdint>
#include <vector>

#include "ArtCanvas.h"

namespace art {

// Uncompressed bottom-up 24-bit BMP; the alpha channel is dropped.
std::vector<uint8_t> EncodeBmp24(const Canvas& image);

// ICO with one 32-bit BGRA image per canvas (each square, at most 255 px),
// with an AND mask that marks the fully transparent pixels.
std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images);

}  // namespace art
