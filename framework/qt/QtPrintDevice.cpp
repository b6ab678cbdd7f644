#include "QtPrintDevice.h"

#include "framework/qt/QtString.h"

#include <QFile>
#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPen>
#include <QPrinter>
#include <QTransform>

#include <algorithm>
#include <string>

namespace {

QColor ToColor(COLORREF cr) { return QColor(GetRValue(cr), GetGValue(cr), GetBValue(cr)); }

// The platform's rectangles exclude their right and bottom edges.
QRect ToQRect(const CRect& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

} // namespace

CQtPrintDevice::CQtPrintDevice(std::unique_ptr<QPrinter> pPrinter)
    : m_pPrinter(std::move(pPrinter)), m_crText(RGB(0, 0, 0))
{}

CQtPrintDevice::~CQtPrintDevice()
{
    if (m_painter.isActive())
        m_painter.end();
}

std::unique_ptr<CQtPrintDevice> CQtPrintDevice::ForPdf(const CString& strPath, int nDpi)
{
    auto pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    pPrinter->setResolution(nDpi);
    // A quarter inch all round, the unprintable border of a common office
    // printer, so a PDF page looks like a printed one.
    pPrinter->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(6.35, 6.35, 6.35, 6.35),
                                        QPageLayout::Millimeter));
    pPrinter->setOutputFileName(ToQt(strPath));
    return std::make_unique<CQtPrintDevice>(std::move(pPrinter));
}

int CQtPrintDevice::GetDeviceCaps(EDeviceCap cap) const
{
    switch (cap) {
    case LOGPIXELSY:
        return m_pPrinter->logicalDpiY();
    case VERTRES:
        return m_pPrinter->height();
    case HORZRES:
        return m_pPrinter->width();
    }
    return 0;
}

IPrintDevice::FontHandle CQtPrintDevice::CreateFont(const CFontSpec& request)
{
    QFont font(ToQt(request.strFace));
    // Text extents are summed advances, as the platform measures them;
    // kerning would make a measured text narrower than its parts.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setWeight(static_cast<QFont::Weight>(request.nWeight <= 0 ? 400 : request.nWeight));
    font.setItalic(request.bItalic);
    font.setUnderline(request.bUnderline);
    if (request.nHeight < 0) {
        font.setPixelSize(-request.nHeight);
    } else if (request.nHeight > 0) {
        // A positive height is the whole cell: scale the em size to fit it.
        font.setPixelSize(request.nHeight);
        const int nCell = QFontMetrics(font, m_pPrinter.get()).height();
        if (nCell > 0)
            font.setPixelSize(std::max(1, request.nHeight * request.nHeight / nCell));
    } else {
        font.setPixelSize(std::max(1, 12 * m_pPrinter->logicalDpiY() / 72));
    }
    const FontHandle hFont = m_nNextFont++;
    m_fonts.emplace(hFont, font);
    return hFont;
}

void CQtPrintDevice::SelectFont(FontHandle hFont)
{
    if (m_fonts.count(hFont) != 0)
        m_hSelectedFont = hFont;
}

void CQtPrintDevice::DeleteFont(FontHandle hFont)
{
    m_fonts.erase(hFont);
    if (m_hSelectedFont == hFont)
        m_hSelectedFont = 0;
}

QFont CQtPrintDevice::CurrentFont() const
{
    const auto it = m_fonts.find(m_hSelectedFont);
    if (it != m_fonts.end())
        return it->second;
    QFont font;
    font.setPixelSize(std::max(1, 12 * m_pPrinter->logicalDpiY() / 72));
    return font;
}

CSize CQtPrintDevice::GetTextExtent(const CString& strText)
{
    const QFontMetrics metrics(CurrentFont(), m_pPrinter.get());
    return CSize{metrics.horizontalAdvance(ToQt(strText)), metrics.height()};
}

void CQtPrintDevice::Rectangle(const CRect& rect)
{
    if (!m_painter.isActive() || rect.right - rect.left < 2 || rect.bottom - rect.top < 2)
        return;
    // A one-pixel outline on the rectangle's inner edge, white inside: the
    // stock pen and brush of a fresh printer context.
    QPen pen(Qt::black);
    pen.setWidth(1);
    // Scaled down, a one-pixel outline would grow thin and faint.
    pen.setCosmetic(m_dScale != 1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::white);
    m_painter.drawRect(
        QRect(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1));
}

void CQtPrintDevice::FillSolidRect(const CRect& rect, COLORREF crFill)
{
    if (!m_painter.isActive())
        return;
    m_painter.fillRect(ToQRect(rect), ToColor(crFill));
}

void CQtPrintDevice::SetTextColor(COLORREF crText) { m_crText = crText; }

void CQtPrintDevice::SetScale(double dScale, int nOriginX, int nOriginY)
{
    m_dScale = dScale > 0.0 ? dScale : 1.0;
    m_ptScaleOrigin = QPoint(nOriginX, nOriginY);
    ApplyScale();
}

void CQtPrintDevice::ApplyScale()
{
    if (!m_painter.isActive())
        return;
    // An unscaled page is left exactly as the painter has it.
    if (m_dScale == 1.0) {
        if (!m_painter.transform().isIdentity())
            m_painter.setTransform(QTransform());
        return;
    }
    QTransform transform;
    transform.translate(m_ptScaleOrigin.x(), m_ptScaleOrigin.y());
    transform.scale(m_dScale, m_dScale);
    transform.translate(-m_ptScaleOrigin.x(), -m_ptScaleOrigin.y());
    m_painter.setTransform(transform);
}

void CQtPrintDevice::SetBkModeTransparent() { m_bTransparent = true; }

void CQtPrintDevice::DrawText(const CString& strText, const CRect& rect, unsigned nFlags)
{
    if (!m_painter.isActive())
        return;
    const QRect box = ToQRect(rect);
    m_painter.save();
    m_painter.setClipRect(box, Qt::IntersectClip);
    m_painter.setFont(CurrentFont());
    m_painter.setPen(ToColor(m_crText));
    // Until the background is made transparent, text is set on white, as
    // on a fresh printer context.
    m_painter.setBackgroundMode(m_bTransparent ? Qt::TransparentMode : Qt::OpaqueMode);
    m_painter.setBackground(Qt::white);
    int nAlign = static_cast<int>(Qt::AlignTop |
                                  ((nFlags & DT_CENTER) != 0 ? Qt::AlignHCenter : Qt::AlignLeft));
    if ((nFlags & DT_SINGLELINE) != 0)
        nAlign |= Qt::TextSingleLine;
    m_painter.drawText(box, nAlign, ToQt(strText));
    m_painter.restore();
}

CString CQtPrintDevice::DescribeTarget() const
{
    if (!m_pPrinter->outputFileName().isEmpty())
        return "the file " + FromQt(m_pPrinter->outputFileName());
    if (!m_pPrinter->printerName().isEmpty())
        return "the printer " + FromQt(m_pPrinter->printerName());
    return "the printer";
}

bool CQtPrintDevice::StartDoc(const CString& strDocName)
{
    m_strLastError.clear();
    if (m_painter.isActive()) {
        m_strLastError = "A document is already being printed on " + DescribeTarget() + ".";
        return false;
    }
    m_pPrinter->setDocName(ToQt(strDocName));
    // Without a file, only a named system printer can take the job; Qt
    // falls back to PDF output when the system has no printer at all.
    if (m_pPrinter->outputFileName().isEmpty() &&
        (m_pPrinter->outputFormat() != QPrinter::NativeFormat ||
         m_pPrinter->printerName().isEmpty())) {
        m_strLastError = "No printer is available.";
        return false;
    }
    if (!m_painter.begin(m_pPrinter.get())) {
        m_strLastError = m_pPrinter->outputFileName().isEmpty()
            ? "The printer " + FromQt(m_pPrinter->printerName()) + " could not be started."
            : "Cannot write the file " + FromQt(m_pPrinter->outputFileName()) + ".";
        return false;
    }
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    ApplyScale();
    m_nPagesStarted = 0;
    return true;
}

bool CQtPrintDevice::StartPage()
{
    if (!m_painter.isActive()) {
        m_strLastError = "No document has been started on " + DescribeTarget() + ".";
        return false;
    }
    // The painter opened the first page when the document began.
    if (m_nPagesStarted++ == 0)
        return true;
    if (!m_pPrinter->newPage()) {
        m_strLastError = "Could not start page " + std::to_string(m_nPagesStarted) + " on " +
            DescribeTarget() + ".";
        return false;
    }
    ApplyScale();
    return true;
}

bool CQtPrintDevice::EndPage()
{
    if (!m_painter.isActive()) {
        m_strLastError = "No page is being printed on " + DescribeTarget() + ".";
        return false;
    }
    return true;
}

bool CQtPrintDevice::EndDoc()
{
    if (!m_painter.isActive()) {
        m_strLastError = "No document has been started on " + DescribeTarget() + ".";
        return false;
    }
    if (!m_painter.end()) {
        m_strLastError = "Could not finish the document on " + DescribeTarget() + ".";
        return false;
    }
    return true;
}

void CQtPrintDevice::AbortDoc()
{
    if (!m_painter.isActive())
        return;
    // A system printer drops the job; the PDF engine cannot abort and
    // finishes the file, which is then removed so that no half list stays
    // behind looking complete.
    const bool bAborted = m_pPrinter->abort();
    m_painter.end();
    if (!bAborted && !m_pPrinter->outputFileName().isEmpty())
        QFile::remove(m_pPrinter->outputFileName());
}
