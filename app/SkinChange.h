// The form-skinning component tells a form's controls of a skin change only when they descend from the skinned
// control bases; the list view, page control and label wrap the class library's own controls instead, so each
// form passes the change on to those itself.
#pragma once

#include "platform/ui/Controls.h"

// For 1226 (changed) sent by a skin data: every list view, page control and standard label inside Root that
// draws from that skin data reads its record again. True when the message was that one.
bool PassSkinChange(TWinControl* Root, const TMessage& Message);
