// The application's pictures, each drawn at the size its list or window shows it.
#pragma once

#include <vector>

#include "resources/AppPictures.h"
#include "tools/artmaker/ArtCanvas.h"

namespace artmaker {

struct TArtwork {
    std::vector<TArtCanvas> Lists[AppImageListCount];
    std::vector<TArtCanvas> Pictures; // in TAppPicture order
};

TArtwork DrawArtwork();

// What the contact sheet writes under each picture of a list.
String PictureLabel(TAppImageList List, int Index);

} // namespace artmaker
