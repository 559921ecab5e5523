// One PNG showing every picture of the application, for a person to look at.
#pragma once

#include "platform/base/System.h"
#include "tools/artmaker/Pictures.h"

namespace artmaker {

void WriteContactSheet(const TArtwork& Art, const String& FileName);

} // namespace artmaker
