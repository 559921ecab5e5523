#pragma once

#include <span>
#include <string_view>

#include "platform/base/System.h"

// The output profile catalogue as the main window offers it: 19 categories, each standing for a profile
// group, and 169 profiles keyed by their profile code, (group + 1) * 100 + index within the group.

// One item of the category combo box. ProfileGroup is also the index of the category's and its profiles'
// icons; the group numbers are not contiguous.
struct TProfileCategory {
    std::u16string_view Caption;
    int ProfileGroup;
    int ProfileCount;
};

// One item of the profile combo box: Title is shown in bold and ends in "(*.ext)", Description under it.
struct TProfileItem {
    int ProfileCode;
    std::u16string_view Title;
    std::u16string_view Description;
};

constexpr int ProfileCategoryCount = 19;
constexpr int ProfileCount = 169;

// The categories in the order of the category combo box.
std::span<const TProfileCategory> ProfileCategories();
// Every profile, category after category in combo order, each category's profiles in item order.
std::span<const TProfileItem> ProfileItems();
// The profiles of category item CategoryIndex (0..18), in item order; empty for any other index.
std::span<const TProfileItem> ProfilesOfCategory(int CategoryIndex);
// The profile of a code, or nullptr when the catalogue has none.
const TProfileItem* FindProfileItem(int ProfileCode);

// The group of category item CategoryIndex (0..18), or -1 for any other index.
int ProfileGroupOf(int CategoryIndex);
// (group + 1) * 100 + ProfileIndex: the key of the profile list, settings and advanced choices; -1 when
// CategoryIndex names no category.
int ProfileCode(int CategoryIndex, int ProfileIndex);
// (CategoryIndex + 1) * 100 + ProfileIndex: the two combo positions a job row keeps to restore them. Not the
// catalogue key; the two coincide only for category item 4.
int ProfilePositionCode(int CategoryIndex, int ProfileIndex);
// Splits a position code back into category item index (code div 100 - 1) and profile index (code mod 100).
void SplitProfilePositionCode(int PositionCode, int& CategoryIndex, int& ProfileIndex);

// The output extension a title names: the four characters before its closing ")" ("(*.mp4)" gives ".mp4"),
// with "flac", "aiff", "*.rm" and "*.ra" read as ".flac", ".aiff", ".rm" and ".ra". A title shorter than
// five characters names no extension and gives empty.
String ProfileTitleExtension(std::u16string_view Title);
