// A PNG of a loaded skin for a person to look at: a window in the skin at two sizes, then every record's pictures
// composed at two sizes with captions in the skin's fonts.
#pragma once

#include "skin/core/bsSkinData.h"

namespace skinmaker {

void WriteContactSheet(TbsSkinData& D, const String& FileName);

} // namespace skinmaker
