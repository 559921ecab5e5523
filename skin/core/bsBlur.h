// Soft effects on skin bitmaps: the running-sum blur and alpha from a grey mask.
#pragma once

#include "skin/core/TbsBitmap.h"

// Blurs red, green and blue in place with a triangle filter of the given radius (edge pixels repeat outward);
// every alpha becomes 255. Nothing happens for a radius of 0 or less.
void BlurBitmap(TbsBitmap& Bitmap, int Radius);
// Alpha of each pixel := (red + green + blue) div 3 of Mask's pixel at the same place; pixels outside Mask keep
// their alpha.
void SetAlphaFromMask(TbsBitmap& Bitmap, const TbsBitmap& Mask);
