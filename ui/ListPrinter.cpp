#include "ListPrinter.h"

#include "framework/ListCtrl.h"
#include "framework/Platform.h"

#include <algorithm>
#include <string>

namespace {
const char* const kTitleSample = "Width";
const char* const kEmptyCellSample = "E";
const char* const kFontFace = "Arial";
// Captions and cells are read as into a 256-byte buffer asked for at most
// 255 characters including the terminator: 254 bytes of text at most.
constexpr int kMeasureBuffer = 255;
} // namespace

CListPrinter::~CListPrinter() { ReleaseJob(); }

IPrintDevice::FontHandle CListPrinter::CreatePointFont(int nPoints)
{
    CFontSpec request;
    // A character height of nPoints at the printer's vertical resolution;
    // the division truncates toward zero.
    request.nHeight = -(nPoints * m_pDC->GetDeviceCaps(LOGPIXELSY) / 72);
    request.nWeight = 400;
    request.strFace = kFontFace;
    return m_pDC->CreateFont(request);
}

void CListPrinter::CreateFonts()
{
    m_fontTitle = CreatePointFont(kTitlePoints);
    m_fontText = CreatePointFont(kTextPoints);
    m_fontHeader = CreatePointFont(kHeaderPoints);
}

void CListPrinter::DeleteFonts()
{
    if (m_pDC == nullptr)
        return;
    for (IPrintDevice::FontHandle* pFont : {&m_fontTitle, &m_fontText, &m_fontHeader}) {
        if (*pFont != 0)
            m_pDC->DeleteFont(*pFont);
        *pFont = 0;
    }
}

void CListPrinter::ReleaseJob()
{
    DeleteFonts();
    m_pColumnWidths.clear();
    m_pDC = nullptr;
    m_hPrinterDC.reset();
}

void CListPrinter::ReportFailure(const CString& strWhat)
{
    CString strText = "The list was not printed: " + strWhat + ".";
    const CString strReason = m_pDC != nullptr ? m_pDC->GetLastError() : CString();
    if (!strReason.empty())
        strText += "\n" + strReason;
    platform::MessageBox().Show(strText, EMessageIcon::Exclamation);
}

bool CListPrinter::PrintList(const CListCtrl& list, const CString& strTitle)
{
    if (list.GetItemCount() < 1)
        return false;

    m_hPrinterDC = platform::PrintDialog().Run();
    if (m_hPrinterDC == nullptr)
        return false;

    m_pDC = m_hPrinterDC.get();
    m_nY = kTop;
    m_nSpacing = kSpacing;
    CreateFonts();

    // A printer that refuses the job is reported: the user would otherwise
    // wait for pages that never come.
    if (!m_pDC->StartDoc(kDocName)) {
        ReportFailure("the printer did not start the document");
        ReleaseJob();
        return false;
    }
    if (!m_pDC->StartPage()) {
        ReportFailure("the printer did not start the first page");
        m_pDC->AbortDoc();
        ReleaseJob();
        return false;
    }
    m_nPageHeight = m_pDC->GetDeviceCaps(VERTRES);
    m_nDeviceHeight = m_nPageHeight;
    m_nPageWidth = m_pDC->GetDeviceCaps(HORZRES);
    m_nPage = 1;

    PrintHeader(list, strTitle);
    if (!PrintRows(list)) {
        ReportFailure("the printer did not start a new page");
        m_pDC->AbortDoc();
        ReleaseJob();
        return false;
    }
    if (m_nPageCount > 0)
        PrintPageNumber();

    const bool bEnded = m_pDC->EndPage();
    if (!bEnded || !m_pDC->EndDoc()) {
        ReportFailure("the printer did not finish the document");
        if (!bEnded)
            m_pDC->AbortDoc();
        ReleaseJob();
        return false;
    }
    ReleaseJob();
    return true;
}

int CListPrinter::MeasureTitleBand()
{
    m_pDC->SelectFont(m_fontTitle);
    m_sizeText = m_pDC->GetTextExtent(kTitleSample);
    const int nTitleHeight = m_sizeText.cy;
    m_pDC->SelectFont(m_fontHeader);
    m_sizeText = m_pDC->GetTextExtent(kTitleSample);
    const int nHeaderHeight = m_sizeText.cy;
    return kTop + nTitleHeight + m_nSpacing + nHeaderHeight + 2 * m_nSpacing;
}

int CListPrinter::MeasureColumn(int nCol, const CListCtrl& list)
{
    int nWidth = 0;
    m_pDC->SelectFont(m_fontHeader);
    m_sizeText = m_pDC->GetTextExtent(list.GetColumnCaption(nCol, kMeasureBuffer));
    if (m_sizeText.cx > nWidth)
        nWidth = m_sizeText.cx;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        m_pDC->SelectFont(m_fontText);
        CString strCell = list.GetItemTextBounded(i, nCol, kMeasureBuffer);
        if (strCell.empty())
            strCell = kEmptyCellSample;
        m_sizeText = m_pDC->GetTextExtent(strCell);
        if (m_sizeText.cx > nWidth)
            nWidth = m_sizeText.cx;
    }
    return nWidth + kColumnPadding;
}

void CListPrinter::PrintHeader(const CListCtrl& list, const CString& strTitle)
{
    const int nBandBottom = MeasureTitleBand();
    const int nTop = nBandBottom + 3 * m_nSpacing;
    m_nY = nTop;

    // Every column is measured before anything is drawn, so that a grid too
    // wide for the page is scaled to it from the first line on.
    m_pColumnWidths.assign(static_cast<size_t>(list.GetColumnCount()), 0);
    int nLineHeight = m_sizeText.cy;
    int nGridRight = kLeft;
    for (int j = 0; j < list.GetColumnCount(); ++j) {
        const int w = MeasureColumn(j, list);
        if (static_cast<size_t>(j) >= m_pColumnWidths.size())
            m_pColumnWidths.resize(static_cast<size_t>(j) + 1, 0);
        m_pColumnWidths[static_cast<size_t>(j)] = w;
        // The last text measured is a cell, so this is the text font's line.
        nLineHeight = m_sizeText.cy;
        nGridRight += w + 2 * m_nSpacing;
    }
    const int nHeaderBottom = nTop + 4 * m_nSpacing + nLineHeight;
    FitToPage(list, strTitle, nGridRight, nHeaderBottom);

    m_pDC->SetTextColor(kCaptionText);
    m_pDC->SetBkModeTransparent();
    int x = kLeft;
    for (size_t j = 0; j < m_pColumnWidths.size(); ++j) {
        const int w = m_pColumnWidths[j];
        const int nRight = x + w + 2 * m_nSpacing;
        m_pDC->Rectangle(CRect{x, nTop, nRight, nHeaderBottom});
        m_pDC->FillSolidRect(CRect{x + 2, nTop + 2, nRight - 2, nHeaderBottom - 2}, kCaptionFill);
        const CString strCaption = list.GetColumnCaption(static_cast<int>(j), kMeasureBuffer);
        m_pDC->SelectFont(m_fontText);
        m_pDC->DrawText(strCaption,
                        CRect{x + m_nSpacing, nTop + m_nSpacing, x + m_nSpacing + w,
                              nTop + 2 * m_nSpacing + nLineHeight},
                        DT_CENTER | DT_SINGLELINE);
        x = nRight;
    }
    m_nY = nHeaderBottom;

    m_pDC->Rectangle(CRect{kLeft, kTop, nGridRight, nBandBottom});

    m_pDC->SelectFont(m_fontTitle);
    m_sizeText = m_pDC->GetTextExtent(strTitle);
    m_pDC->SetTextColor(kTitleText);
    m_pDC->DrawText(strTitle,
                    CRect{kLeft, kTitleTextTop + m_nSpacing, nGridRight,
                          kTitleTextTop + m_nSpacing + m_sizeText.cy},
                    DT_CENTER | DT_SINGLELINE);
}

void CListPrinter::FitToPage(const CListCtrl& list, const CString& strTitle, int nGridRight,
                             int nHeaderBottom)
{
    m_dScale = 1.0;
    m_nPageCount = 0;
    if (m_nPageWidth <= 0 || nGridRight <= m_nPageWidth)
        return;
    // The grid shrinks about the title's top left corner until its right
    // edge keeps the left margin from the page's edge.
    const int nRoom = std::max(m_nPageWidth - 2 * kLeft, m_nPageWidth / 2);
    m_dScale = static_cast<double>(nRoom) / (nGridRight - kLeft);
    m_pDC->SetScale(m_dScale, kLeft, kTop);

    // The page number's band at the foot of each page, drawn unscaled; the
    // rows end above it. Page heights below are in the grid's own measure.
    m_pDC->SelectFont(m_fontText);
    m_nFooterHeight = m_pDC->GetTextExtent(PageNumberText(1, 1)).cy + 2 * m_nSpacing;
    m_nPageHeight = kTop + static_cast<int>((m_nDeviceHeight - m_nFooterHeight - kTop) / m_dScale);
    m_pDC->SelectFont(m_fontTitle);
    const int nRowHeight = 4 * m_nSpacing + m_pDC->GetTextExtent(strTitle).cy;
    // The rows break as PrintRows breaks them.
    m_nPageCount = 1;
    int y = nHeaderBottom;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (y + nRowHeight > m_nPageHeight) {
            ++m_nPageCount;
            y = kTop;
        }
        y += nRowHeight;
    }
}

CString CListPrinter::PageNumberText(int nPage, int nPages)
{
    return "Page " + std::to_string(nPage) + " of " + std::to_string(nPages);
}

void CListPrinter::PrintPageNumber()
{
    m_pDC->SetScale(1.0, 0, 0);
    m_pDC->SelectFont(m_fontText);
    m_pDC->SetTextColor(kCellText);
    m_pDC->DrawText(PageNumberText(m_nPage, m_nPageCount),
                    CRect{kLeft, m_nDeviceHeight - m_nFooterHeight + m_nSpacing,
                          m_nPageWidth - kLeft, m_nDeviceHeight},
                    DT_CENTER | DT_SINGLELINE);
    m_pDC->SetScale(m_dScale, kLeft, kTop);
}

bool CListPrinter::PrintRows(const CListCtrl& list)
{
    m_pDC->SelectFont(m_fontText);
    m_pDC->SetTextColor(kCellText);
    // m_sizeText still holds the title's extent in the title font, so the
    // rows are as tall as a title line plus four spacings.
    const int nRowHeight = 4 * m_nSpacing + m_sizeText.cy;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (m_nY + nRowHeight > m_nPageHeight) {
            if (m_nPageCount > 0)
                PrintPageNumber();
            if (!m_pDC->EndPage() || !m_pDC->StartPage())
                return false;
            ++m_nPage;
            m_nY = kTop;
        }
        int x = kLeft;
        for (int j = 0; j < list.GetColumnCount(); ++j) {
            const int w = static_cast<size_t>(j) < m_pColumnWidths.size()
                ? m_pColumnWidths[static_cast<size_t>(j)]
                : kColumnPadding;
            m_pDC->Rectangle(CRect{x, m_nY, x + w + 2 * m_nSpacing, m_nY + nRowHeight});
            m_pDC->DrawText(list.GetItemText(i, j),
                            CRect{x + m_nSpacing, m_nY + m_nSpacing, x + m_nSpacing + w,
                                  m_nY + 2 * m_nSpacing + m_sizeText.cy},
                            DT_LEFT | DT_SINGLELINE);
            x += w + 2 * m_nSpacing;
        }
        m_nY += nRowHeight;
    }
    return true;
}
