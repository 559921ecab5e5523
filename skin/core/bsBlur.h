// Soft effects on skin bitmaps: the running-sum blur and alpha from a grey mask.
#pragma once

#include "platform/gdi/Graphics.h"
#include "skin/core/bseffects.h"

// Blurs red, green and blue in place with a triangle filter of the given radius (edge pixels repeat outward);
// every alpha becomes 255. Nothing happens for a radius of 0 or less.
void BlurBitmap(TbsBitmap& Bitmap, int Radius);
// Alpha of each pixel := (red + green + blue) div 3 of Mask's pixel at the same place; pixels outside Mask keep
// their alpha.
void SetAlphaFromMask(TbsBitmap& Bitmap, const TbsBitmap& Mask);

// Captions with soft effects. Colours are platform colours 0x00BBGGRR (system colours are not resolved); Flags
// are the DrawText flags of the caption.

// A glow of the text blurred by GlowSize under the caption, moved by Offset; returns DrawText's result.
int DrawGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, int GlowSize, TColor GlowColor, int Offset,
                 UINT Flags);
// A glow of the text thickened by one pixel, then the caption.
void DrawOutlineGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, int GlowSize, TColor GlowColor,
                         int Offset, UINT Flags);
// A soft glow over the whole caption box, then the caption; returns DrawText's result.
int DrawVistaGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, TColor GlowColor, UINT Flags);
// A mirrored copy fading out below the caption, then the caption.
void DrawReflectionText(TCanvas* Canvas, const TRect& Rect, const String& Text, TColor Color, int Offset, UINT Flags);
