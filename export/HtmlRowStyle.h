#pragma once
// The font of one HTML table row.

#include "framework/PrintDevice.h"

struct CHtmlRowStyle
{
    // Written as "#%06X" of the number itself, so 0xFFFFFF is white.
    COLORREF m_crFont = 0x000000;
    int m_nFontSize = 2;
};
