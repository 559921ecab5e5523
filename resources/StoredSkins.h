// The program's stored skins, embedded at build time: .skn archives (header, size, zlib data) drawn by
// tools/skinmaker. Indices 0 to 7 are the main window's skin list in its order (木星战甲 ... 水星战甲); index 8
// is the one stored skin of the main window's second skin data, which serves the catalogue combo boxes.
#pragma once

#include <cstddef>

#include "platform/base/System.h"

struct TStoredSkin {
    const char16_t* Name;
    const unsigned char* Data;
    std::size_t Size;
};

constexpr int MainWindowSkinCount = 8;
constexpr int CatalogueSkinIndex = 8;

int StoredSkinCount();
const TStoredSkin& StoredSkin(int Index);
