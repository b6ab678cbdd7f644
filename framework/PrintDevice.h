#pragma once
// The printing device: the few drawing operations the list printer needs,
// in device pixels, and the print dialog that hands out a device.
//
// The window's implementation paints on a QPrinter (which also prints to
// PDF); tests use a recording device.

#include "StringTypes.h"

#include <cstdint>
#include <memory>

using COLORREF = std::uint32_t;
constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline int GetRValue(COLORREF cr) { return static_cast<int>(cr & 0xFF); }
inline int GetGValue(COLORREF cr) { return static_cast<int>((cr >> 8) & 0xFF); }
inline int GetBValue(COLORREF cr) { return static_cast<int>((cr >> 16) & 0xFF); }

struct CSize
{
    int cx = 0;
    int cy = 0;
};

struct CRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// What a font is made from: a height in device pixels (negative: the
// character height, as the platform's fonts take it), a weight and a face.
struct CFontSpec
{
    int nHeight = 0;
    int nWeight = 400;
    bool bItalic = false;
    bool bUnderline = false;
    CString strFace;
};

enum EDrawTextFlags : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_SINGLELINE = 0x20,
};

enum EDeviceCap { LOGPIXELSY = 90, VERTRES = 10, HORZRES = 8 };

class IPrintDevice
{
public:
    using FontHandle = int;

    virtual ~IPrintDevice() = default;

    virtual int GetDeviceCaps(EDeviceCap cap) const = 0;

    virtual FontHandle CreateFont(const CFontSpec& request) = 0;
    virtual void SelectFont(FontHandle hFont) = 0;
    virtual void DeleteFont(FontHandle hFont) = 0;
    // Extent of a one-line text in the selected font.
    virtual CSize GetTextExtent(const CString& strText) = 0;

    // A rectangle outlined with the current pen (one black pixel on a fresh
    // device) and filled with the current brush (white on a fresh device).
    virtual void Rectangle(const CRect& rect) = 0;
    // Fills a rectangle (right and bottom excluded) with a solid colour.
    virtual void FillSolidRect(const CRect& rect, COLORREF crFill) = 0;
    virtual void SetTextColor(COLORREF crText) = 0;
    virtual void SetBkModeTransparent() = 0;
    // One line of text in a rectangle, at its top, centred or left-aligned,
    // clipped to the rectangle.
    virtual void DrawText(const CString& strText, const CRect& rect, unsigned nFlags) = 0;
    // Everything drawn from now on is scaled by dScale about the point
    // (nOriginX, nOriginY) of the page, fonts and outlines included (an
    // outline stays one pixel wide); 1.0 draws as given. Text extents are
    // those of the unscaled fonts. Holds across pages.
    virtual void SetScale(double dScale, int nOriginX, int nOriginY) = 0;

    // A document holds pages; drawing happens between StartPage and EndPage.
    // Each returns false when the printer refuses (no printer, a file that
    // cannot be written); GetLastError then says why.
    virtual bool StartDoc(const CString& strDocName) = 0;
    virtual bool StartPage() = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDoc() = 0;
    // Ends a started document without finishing it, after a failure.
    virtual void AbortDoc() = 0;
    // Text of the last failure of StartDoc, StartPage, EndPage or EndDoc.
    virtual CString GetLastError() const = 0;
};

class IPrintDialog
{
public:
    virtual ~IPrintDialog() = default;
    // Asks for a printer; nullptr when the user cancels.
    virtual std::unique_ptr<IPrintDevice> Run() = 0;
};
