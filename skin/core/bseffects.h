// The effects unit: the skin library's 32-bit drawing surface and the kernels that move its pixels, links to its
// pieces, and the 24-bit image of transitions and whole-image effects. Users of the unit include this header.
#pragma once

#include "skin/core/PixelKernels.h"
#include "skin/core/TbsBitmap.h"
#include "skin/core/TbsBitmapLink.h"
#include "skin/core/TbsEffectBmp.h"
