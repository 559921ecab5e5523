// The art maker's canvas: a floating-point picture with straight alpha out and premultiplied colour inside,
// shapes given as signed distances (negative inside, in pixels) so every edge is smooth at any size, and text
// drawn by the platform's fonts used as coverage.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/base/System.h"
#include "tools/skinmaker/Painter.h"

namespace artmaker {

using skinmaker::Darker;
using skinmaker::Lighter;
using skinmaker::Mix;
using skinmaker::Rgb;
using skinmaker::TRgb;

// A signed distance at a point: below zero inside the shape.
using TShape = std::function<float(float X, float Y)>;
// The colour of a shape at a point of the picture.
using TPaint = std::function<TRgb(float X, float Y)>;

TShape Circle(float Cx, float Cy, float R);
TShape Box(float L, float T, float R, float B, float Radius = 0);
// A line with round ends, W wide.
TShape Segment(float X0, float Y0, float X1, float Y1, float W);
TShape Polygon(std::vector<std::pair<float, float>> Points);
TShape Ring(float Cx, float Cy, float R, float W);
TShape Union(TShape A, TShape B);
TShape Subtract(TShape A, TShape B);
TShape Intersect(TShape A, TShape B);
// The shape grown outwards by D pixels (inwards for a negative D).
TShape Grow(TShape A, float D);
TShape Moved(TShape A, float Dx, float Dy);

TPaint Solid(TRgb C);
// From Top at Y0 to Bottom at Y1.
TPaint Vertical(float Y0, float Y1, TRgb Top, TRgb Bottom);
TPaint Radial(float Cx, float Cy, float R, TRgb Inner, TRgb Outer);

struct TPixel {
    float R = 0, G = 0, B = 0, A = 0; // premultiplied
};

class TArtCanvas {
public:
    TArtCanvas(int W, int H) : FW(W), FH(H), FPixels(std::size_t(W) * H) {}
    int Width() const { return FW; }
    int Height() const { return FH; }

    // Paints over what is there, by the shape's coverage times Alpha.
    void Fill(const TShape& S, const TPaint& P, float Alpha = 1);
    void Fill(const TShape& S, TRgb C, float Alpha = 1) { Fill(S, Solid(C), Alpha); }
    // A soft shadow of the shape: its edge blurred over Soft pixels.
    void Shadow(const TShape& S, float Soft, float Alpha);
    // The house style of an object: a soft shadow below, a dark rim, a top-lit gradient of Base and a gloss on
    // its upper half.
    void Object(const TShape& S, TRgb Base, float Top, float Bottom, bool Gloss = true);
    // Text centred on (Cx, Cy), Height pixels high, in the platform's sans-serif font.
    void Text(const String& S, float Cx, float Cy, int Height, TRgb C, bool Bold = true, float Alpha = 1);
    // The whole of Other drawn over this canvas with its top-left at (X, Y).
    void Draw(const TArtCanvas& Other, int X, int Y, float Alpha = 1);
    void Over(int X, int Y, TRgb C, float A);

    // Straight-alpha pixels, 0xAARRGGBB, rows top-down.
    std::vector<std::uint32_t> Pixels() const;
    // The picture greyed: the same coverage, colours mostly grey and a little lighter.
    TArtCanvas Greyed() const;

private:
    int FW, FH;
    std::vector<TPixel> FPixels;
};

} // namespace artmaker
