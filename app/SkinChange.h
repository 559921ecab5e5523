// Until the forms carry their form-skinning component, which tells its form's skinned controls of a skin change,
// each form passes the skin data's change messages on to its skinned controls itself.
#pragma once

#include "platform/ui/Controls.h"

// For 1225 (before the change) and 1226 (changed) sent by a skin data: every skinned control inside Root that
// draws from that skin data reads its record again. Other messages are left alone; true when it was one of these.
bool PassSkinChange(TWinControl* Root, const TMessage& Message);
