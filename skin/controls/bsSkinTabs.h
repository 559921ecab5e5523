// The skinned tabs unit: the page control, its pages and its tab scroller. Users of the unit include this
// header.
#pragma once

#include "skin/controls/TbsSkinPageControl.h"
#include "skin/controls/TbsSkinTabSheet.h"
#include "skin/controls/TbsSkinUpDown.h"
