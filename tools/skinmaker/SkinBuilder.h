// Draws every picture of one skin and fills a skin data with its form geometry, colours and records.
#pragma once

#include "skin/core/bsSkinData.h"
#include "tools/skinmaker/Materials.h"

namespace skinmaker {

void BuildSkin(const TMaterial& M, TbsSkinData& D);

} // namespace skinmaker
