#pragma once
// Prints the result list as a boxed grid under a title: a boxed title at the
// top of the first page, a grey row of column captions, then one boxed row
// per list item, continued on further pages.
//
// Every length is in printer device pixels. The margins and spacings are
// fixed numbers, not scaled by the printer's resolution; the font sizes
// are. Columns are as wide as their widest text. A grid that fits the
// page's width is printed exactly so; a wider one is scaled down as a whole
// (title, captions and rows alike) until it fits between the margins, and
// its pages are numbered "Page N of M" at their foot, so that no column is
// lost off the right edge.

#include "framework/PrintDevice.h"
#include "framework/StringTypes.h"

#include <memory>
#include <vector>

class CListCtrl;

class CListPrinter
{
public:
    // The left edge of the grid, and the top of the title box on the first
    // page and of the first row on every further page.
    static constexpr int kLeft = 50;
    static constexpr int kTop = 130;
    // The title text's top, before the spacing is added.
    static constexpr int kTitleTextTop = 150;
    // Added to the widest measured text of a column.
    static constexpr int kColumnPadding = 30;
    static constexpr int kSpacing = 5;

    static constexpr int kTitlePoints = 18;
    static constexpr int kTextPoints = 10;
    static constexpr int kHeaderPoints = 12;

    static constexpr COLORREF kCaptionText = RGB(114, 106, 16);
    static constexpr COLORREF kCaptionFill = RGB(220, 220, 220);
    static constexpr COLORREF kTitleText = RGB(0, 0, 255);
    static constexpr COLORREF kCellText = RGB(0, 0, 0);

    // The name the print spooler shows for the job.
    static constexpr const char* kDocName = "Periodical List";

    CListPrinter() = default;
    virtual ~CListPrinter();
    CListPrinter(const CListPrinter&) = delete;
    CListPrinter& operator=(const CListPrinter&) = delete;

    // Asks for a printer with the platform's print dialog and prints the
    // whole list once under strTitle. True when a document was sent to the
    // printer; false when the list has no rows (no dialog is shown), the
    // user cancelled the dialog, or the printer failed to start the
    // document or a page, which is reported in a message box.
    bool PrintList(const CListCtrl& list, const CString& strTitle);

    // The steps of a job; they draw on the job's device and are meaningful
    // only while PrintList runs one.

    // The y of the bottom of the title box. Leaves the caption font
    // selected and its extent of the sample text in m_sizeText.
    int MeasureTitleBand();
    // The width of column nCol: its widest text (the caption in the caption
    // font, the cells in the text font, each read as at most 254 bytes, an
    // empty cell as "E") plus 30. Leaves the last cell's extent in
    // m_sizeText.
    int MeasureColumn(int nCol, const CListCtrl& list);
    // Measures the columns, scales the page when the grid is too wide for it
    // (FitToPage), draws the caption row, the title box and the title, and
    // leaves m_nY at the top of the first data row.
    void PrintHeader(const CListCtrl& list, const CString& strTitle);
    // Draws every row, starting a new page when the next row would pass the
    // page's height (m_nPageHeight). False when a page could not be started
    // or ended; the device's error says why.
    bool PrintRows(const CListCtrl& list);

    static CString PageNumberText(int nPage, int nPages);

    // The bottom of the rows: the printable height, or on a scaled page the
    // top of the page number's band in the grid's own (unscaled) measure.
    int m_nPageHeight = 0;
    // The device the print dialog handed out, for one job.
    std::unique_ptr<IPrintDevice> m_hPrinterDC;
    CSize m_sizeText;
    IPrintDevice::FontHandle m_fontTitle = 0;
    IPrintDevice::FontHandle m_fontText = 0;
    IPrintDevice::FontHandle m_fontHeader = 0;
    int m_nY = 0;
    IPrintDevice* m_pDC = nullptr;
    int m_nSpacing = kSpacing;
    // One width per column, filled while the header is printed.
    std::vector<int> m_pColumnWidths;
    // The printable area in device pixels.
    int m_nPageWidth = 0;
    int m_nDeviceHeight = 0;
    // 1 for a grid that fits the page; less for one scaled to fit.
    double m_dScale = 1.0;
    // The page being drawn, and the pages of a numbered (scaled) job; 0
    // when the pages are not numbered.
    int m_nPage = 0;
    int m_nPageCount = 0;
    int m_nFooterHeight = 0;

private:
    // Scales the page to a grid whose right edge passes the page's width,
    // and counts the pages that will then be numbered.
    void FitToPage(const CListCtrl& list, const CString& strTitle, int nGridRight,
                   int nHeaderBottom);
    // "Page N of M" centred at the foot of the page, unscaled.
    void PrintPageNumber();
    IPrintDevice::FontHandle CreatePointFont(int nPoints);
    void CreateFonts();
    void DeleteFonts();
    // Ends the job: fonts, widths and the device are released.
    void ReleaseJob();
    // Reports a printer failure with the device's own reason.
    void ReportFailure(const CString& strWhat);
};
