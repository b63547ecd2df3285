// bmpgen: writes the battery pictures, the logo and the icon into a folder
// (normally src/res), so that the Windows build needs no host tool.
//   bmpgen <output folder>
#include <cstdio>
#include <fstream>
#include <string>

#include "ArtResources.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const art::ArtFile& file : art::ResourceArtFiles()) {
        const std::string path = folder + "/" + file.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "bmpgen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), file.bytes.size());
    }
    return 0;
}
