#pragma once
// Every picture file the resource script names, made from the drawings.
// bmpgen writes them into src/res; a test checks the files there still match.
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct ArtFile {
    std::string name;           // file name in src/res
    std::vector<uint8_t> bytes;
};

std::string BatteryFileName(int resourceId);

// The twelve battery pictures, the logo and the icon.
std::vector<ArtFile> ResourceArtFiles();

}  // namespace art
