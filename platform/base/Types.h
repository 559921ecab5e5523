// Points, sizes and rectangles. A rectangle holds its left and top edges and excludes its right
// and bottom edges, as the platform's rectangles do. Each has a constructor taking its fields, so that both
// TRect{...} and TRect(...) build one with every C++20 compiler (clang 14 has no parenthesised aggregate
// initialisation).
#pragma once

#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int AX, int AY) : X(AX), Y(AY) {}
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr TSize() = default;
    constexpr TSize(int Acx, int Acy) : cx(Acx), cy(Acy) {}
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int ALeft, int ATop, int ARight, int ABottom)
        : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int X, int Y) {
    return {X, Y};
}
inline TSize Size(int cx, int cy) {
    return {cx, cy};
}
inline TRect Rect(int Left, int Top, int Right, int Bottom) {
    return {Left, Top, Right, Bottom};
}
inline TRect Rect(const TPoint& TopLeft, const TPoint& BottomRight) {
    return {TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y};
}
inline TRect Bounds(int Left, int Top, int Width, int Height) {
    return {Left, Top, Left + Width, Top + Height};
}

inline bool IsRectEmpty(const TRect& R) {
    return R.Right <= R.Left || R.Bottom <= R.Top;
}
inline bool EqualRect(const TRect& A, const TRect& B) {
    return A == B;
}
inline bool PtInRect(const TRect& R, const TPoint& P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
inline TPoint CenterPoint(const TRect& R) {
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

// Dest := the common part of A and B; an empty result is (0, 0, 0, 0) and gives False.
inline bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
    TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
    if (IsRectEmpty(R)) {
        Dest = TRect();
        return false;
    }
    Dest = R;
    return true;
}

// Dest := the smallest rectangle holding A and B; empty rectangles take no part.
inline bool UnionRect(TRect& Dest, const TRect& A, const TRect& B) {
    if (IsRectEmpty(A)) {
        Dest = IsRectEmpty(B) ? TRect() : B;
    } else if (IsRectEmpty(B)) {
        Dest = A;
    } else {
        Dest = TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                     std::max(A.Bottom, B.Bottom)};
    }
    return !IsRectEmpty(Dest);
}

inline bool OffsetRect(TRect& R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return true;
}

inline bool InflateRect(TRect& R, int DX, int DY) {
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
    return true;
}
