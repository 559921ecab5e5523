// WinDef: the platform's basic value types and handle types, as the drawing and window layers use them.
//
// Public names: BOOL, BYTE, WORD, DWORD, LONG, UINT, INT_PTR, UINT_PTR, LONG_PTR, WPARAM, LPARAM, LRESULT,
// COLORREF, WCHAR, LPCWSTR, LPWSTR; POINT, RECT, SIZE (the run-time library's TPoint, TRect, TSize), TSmallPoint;
// PtInRect, IntersectRect, UnionRect, OffsetRect, InflateRect, IsRectEmpty,
// EqualRect, SetRect, SetRectEmpty, CopyRect; RGB, GetRValue, GetGValue, GetBValue, MAKELONG, LOWORD, HIWORD;
// handles HANDLE, HGDIOBJ (untyped), HDC, HBITMAP, HPEN, HBRUSH, HFONT, HRGN, HPALETTE, HICON, HCURSOR,
// HINSTANCE, HMODULE.
#pragma once

#include "platform/base/Types.h"

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t; // 0x00BBGGRR
using WCHAR = char16_t;
using LPCWSTR = const char16_t*;
using LPWSTR = char16_t*;

// Handles are opaque: distinct types for each kind of drawing object, all convertible to HGDIOBJ.
using HANDLE = void*;
using HGDIOBJ = void*;
struct HDC__;
using HDC = HDC__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HRGN__;
using HRGN = HRGN__*;
struct HPALETTE__;
using HPALETTE = HPALETTE__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

// TPoint, TSize and TRect come from the run-time library; the platform's names are the same types.
using POINT = TPoint;
using SIZE = TSize;
using RECT = TRect;

struct TSmallPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// Pointer forms, as the platform's interface writes them (the reference forms are in platform/base/Types.h).
BOOL PtInRect(const RECT* lprc, POINT pt);
BOOL IntersectRect(RECT* lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
BOOL UnionRect(RECT* lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
BOOL OffsetRect(RECT* lprc, int dx, int dy);
BOOL InflateRect(RECT* lprc, int dx, int dy);
BOOL IsRectEmpty(const RECT* lprc);
BOOL EqualRect(const RECT* lprc1, const RECT* lprc2);
BOOL SetRect(RECT* lprc, int xLeft, int yTop, int xRight, int yBottom);
BOOL SetRectEmpty(RECT* lprc);
BOOL CopyRect(RECT* lprcDst, const RECT* lprcSrc);

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return BYTE(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return BYTE((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return BYTE((c >> 16) & 0xFF);
}
constexpr DWORD MAKELONG(WORD lo, WORD hi) {
    return DWORD(lo) | (DWORD(hi) << 16);
}
constexpr WORD LOWORD(std::uintptr_t v) {
    return WORD(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
    return WORD((v >> 16) & 0xFFFF);
}
