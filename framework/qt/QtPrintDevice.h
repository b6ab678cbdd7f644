#pragma once
// The printing device on a QPrinter: a printer chosen in the print dialog,
// or a PDF file.
//
// Coordinates are the printer's device pixels with the origin at the top
// left of the printable area, as the platform's printer contexts have it.
// Fonts are held by handle; a negative height is the character height in
// pixels (the em size), a positive one the cell height.

#include "framework/PrintDevice.h"

#include <QFont>
#include <QPainter>

#include <map>
#include <memory>

class QPrinter;

class CQtPrintDevice final : public IPrintDevice
{
public:
    // Takes over a configured printer (output format, file, page size).
    explicit CQtPrintDevice(std::unique_ptr<QPrinter> pPrinter);
    ~CQtPrintDevice() override;
    CQtPrintDevice(const CQtPrintDevice&) = delete;
    CQtPrintDevice& operator=(const CQtPrintDevice&) = delete;

    // A device that prints to a PDF file on A4 paper at nDpi dots per inch.
    static std::unique_ptr<CQtPrintDevice> ForPdf(const CString& strPath, int nDpi = 300);

    QPrinter& Printer() { return *m_pPrinter; }

    int GetDeviceCaps(EDeviceCap cap) const override;

    FontHandle CreateFont(const CFontSpec& request) override;
    void SelectFont(FontHandle hFont) override;
    void DeleteFont(FontHandle hFont) override;
    CSize GetTextExtent(const CString& strText) override;

    void Rectangle(const CRect& rect) override;
    void FillSolidRect(const CRect& rect, COLORREF crFill) override;
    void SetTextColor(COLORREF crText) override;
    void SetBkModeTransparent() override;
    void DrawText(const CString& strText, const CRect& rect, unsigned nFlags) override;
    void SetScale(double dScale, int nOriginX, int nOriginY) override;

    bool StartDoc(const CString& strDocName) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDoc() override;
    void AbortDoc() override;
    CString GetLastError() const override { return m_strLastError; }

private:
    // What the job is being printed on, for messages: the file or the printer.
    CString DescribeTarget() const;
    QFont CurrentFont() const;
    void ApplyScale();

    std::unique_ptr<QPrinter> m_pPrinter;
    QPainter m_painter;
    std::map<FontHandle, QFont> m_fonts;
    FontHandle m_nNextFont = 1;
    FontHandle m_hSelectedFont = 0;
    COLORREF m_crText;
    bool m_bTransparent = false;
    double m_dScale = 1.0;
    QPoint m_ptScaleOrigin;
    int m_nPagesStarted = 0;
    CString m_strLastError;
};
