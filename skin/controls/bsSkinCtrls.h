// The skinned base controls unit: the control bases, the push button, the speed buttons and the menu
// services they call. Users of the unit include this header.
#pragma once

#include "skin/controls/TbsSkinControl.h"
