// The skinned edit, list and combo controls unit: the inner and numeric edits and the skinned list box.
// Users of the unit include this header.
#pragma once

#include "skin/controls/TbsCustomEdit.h"
#include "skin/controls/TbsSkinListBox.h"
