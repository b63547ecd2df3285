#include "ArtResources.h"

#include "res/resource.h"
#include "ArtBattery.h"
#include "ArtFiles.h"
#include "ArtLogo.h"

namespace art {

std::string BatteryFileName(int resourceId) { return "battery" + std::to_string(resourceId) + ".bmp"; }

std::vector<ArtFile> ResourceArtFiles()
{
    std::vector<ArtFile> files;
    for (const BatteryLook& look : BatteryLooks()) {
        files.push_back({BatteryFileName(look.resourceId), EncodeBmp24(DrawBattery(look))});
    }
    files.push_back({"logo" + std::to_string(IDB_LOGO) + ".bmp", EncodeBmp24(DrawLogo())});
    std::vector<Canvas> icons;
    for (int size : IconSizes()) icons.push_back(DrawIcon(size));
    files.push_back({"vantrel.ico", EncodeIco(icons)});
    return files;
}

}  // namespace art
