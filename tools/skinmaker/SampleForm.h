// One sample form per skin, drawn from the loaded skin's own records with the skin library's drawing routines (a
// caption with its buttons, a menu bar, buttons in their states, check and radio boxes, a combo box, a list, a
// scroll bar, a slider and tabs), and a sheet that shows the nine skins' forms side by side.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "skin/core/bsSkinData.h"

namespace skinmaker {

std::unique_ptr<TBitmap> DrawSampleForm(TbsSkinData& D);

void WriteSideBySide(const std::vector<std::pair<String, std::unique_ptr<TBitmap>>>& Forms, const String& FileName);

} // namespace skinmaker
