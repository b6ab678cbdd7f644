#include "framework/qt/QtPrintDevice.h"
#include "framework/qt/QtPrintDialog.h"

#include "support/FakePlatform.h"
#include "support/ListBuilder.h"
#include "support/RecordingPrintDevice.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "ui/ListPrinter.h"

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::set<std::string> Words(const std::string& strText)
{
    std::set<std::string> words;
    std::istringstream in(strText);
    std::string word;
    while (in >> word)
        words.insert(word);
    return words;
}

std::string PageText(const std::string& strPdf, int nPage)
{
    const std::string n = std::to_string(nPage);
    return RunCommand(std::string(KORVANE_PDFTOTEXT) + " -layout -f " + n + " -l " + n + " " +
                      ShellQuote(strPdf) + " -");
}

int PageCount(const std::string& strPdf)
{
    const std::string info = RunCommand(std::string(KORVANE_PDFINFO) + " " + ShellQuote(strPdf));
    const size_t nAt = info.find("Pages:");
    return nAt == std::string::npos ? -1 : std::atoi(info.c_str() + nAt + 6);
}

// Hands the print dialog a device that prints to strPdf, recorded into pLog.
void AnswerWithPdf(CFakePlatform& fake, const std::string& strPdf,
                   const std::shared_ptr<CPrintLog>& pLog)
{
    fake.printDialog.Answer([strPdf, pLog]() -> std::unique_ptr<IPrintDevice> {
        return std::make_unique<CRecordingPrintDevice>(pLog, CQtPrintDevice::ForPdf(strPdf));
    });
}

bool HavePoppler()
{
    return std::filesystem::exists(KORVANE_PDFTOTEXT) && std::filesystem::exists(KORVANE_PDFINFO) &&
        std::filesystem::exists(KORVANE_PDFTOPPM);
}

// The PDF's first page at 300 dpi without smoothing, so each pixel is one
// of the colours drawn.
QImage RenderFirstPage(const std::string& strPdf, const std::string& strPrefix)
{
    RunCommand(std::string(KORVANE_PDFTOPPM) +
               " -r 300 -aa no -aaVector no -png -f 1 -l 1 -singlefile " + ShellQuote(strPdf) +
               " " + ShellQuote(strPrefix));
    return QImage(QString::fromStdString(strPrefix + ".png"));
}

// The printable area of a PDF device starts a quarter inch in: 75 pixels at
// 300 dpi. Device pixels are turned into page pixels by that offset.
constexpr int kPdfMargin = 75;

QColor DevicePixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x + kPdfMargin, y + kPdfMargin);
}

bool IsDark(const QColor& c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; }

int DarkPixels(const QImage& image, const CRect& rect)
{
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            n += IsDark(DevicePixel(image, x, y)) ? 1 : 0;
    return n;
}

// A PDF written in a scratch folder and read back with poppler-utils;
// skipped where they are missing.
class PdfTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HavePoppler())
            GTEST_SKIP() << "poppler-utils are not installed";
    }

    CTempDir m_dir;
};

// A document on a PDF device, started with a title.
class PdfDevice : public PdfTest
{
protected:
    void StartPdf(const std::string& strName, const std::string& strTitle)
    {
        m_strPdf = m_dir.File(strName);
        m_pDevice = CQtPrintDevice::ForPdf(m_strPdf);
        ASSERT_TRUE(m_pDevice->StartDoc(strTitle));
    }

    std::string m_strPdf;
    std::unique_ptr<CQtPrintDevice> m_pDevice;
};

} // namespace

TEST(QtPrintDevice, PdfDeviceHasTheResolutionAndAMetricCompatibleArial)
{
    CTempDir dir;
    auto pDevice = CQtPrintDevice::ForPdf(dir.File("metrics.pdf"));
    EXPECT_EQ(pDevice->GetDeviceCaps(LOGPIXELSY), 300);
    // A4 less a quarter inch top and bottom: 284.3 mm at 300 dpi.
    EXPECT_NEAR(pDevice->GetDeviceCaps(VERTRES), 3358, 2);

    CFontSpec request;
    request.strFace = "Arial";
    request.nHeight = -75;
    const IPrintDevice::FontHandle hFont = pDevice->CreateFont(request);
    pDevice->SelectFont(hFont);
    // The face's advance widths in 2048ths of the em: W 1933, i 455, d 1139,
    // t 569, h 1139; 5235 / 2048 * 75 = 191.7 pixels.
    const CSize size = pDevice->GetTextExtent("Width");
    EXPECT_NEAR(size.cx, 192, 3);
    // Ascent plus descent, 0.905 + 0.212 of the em.
    EXPECT_NEAR(size.cy, 84, 3);
    // Extents are sums of advances: no kerning between A and V.
    EXPECT_EQ(pDevice->GetTextExtent("AV").cx,
              pDevice->GetTextExtent("A").cx + pDevice->GetTextExtent("V").cx);
    EXPECT_EQ(pDevice->GetTextExtent("").cx, 0);

    // Twice the character height, about twice the extent.
    request.nHeight = -150;
    pDevice->SelectFont(pDevice->CreateFont(request));
    EXPECT_NEAR(pDevice->GetTextExtent("Width").cx, 2 * size.cx, 4);
    pDevice->DeleteFont(hFont);
}

TEST(QtPrintDevice, StartDocFailsWithoutAPrinterOrAWritableFile)
{
    CTempDir dir;
    const std::string strMissing = dir.File("no-such-folder/list.pdf");
    auto pPdf = CQtPrintDevice::ForPdf(strMissing);
    EXPECT_FALSE(pPdf->StartDoc("Periodical List"));
    EXPECT_EQ(pPdf->GetLastError(), "Cannot write the file " + strMissing + ".");
    EXPECT_FALSE(pPdf->StartPage());
    EXPECT_FALSE(pPdf->EndDoc());

    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    CQtPrintDevice printer(std::make_unique<QPrinter>());
    EXPECT_FALSE(printer.StartDoc("Periodical List"));
    EXPECT_EQ(printer.GetLastError(), "No printer is available.");
}

TEST_F(PdfDevice, PagesOfADocument)
{
    ASSERT_NO_FATAL_FAILURE(StartPdf("pages.pdf", "Periodical List"));
    // A second document cannot start while one is open.
    EXPECT_FALSE(m_pDevice->StartDoc("Other"));
    const IPrintDevice::FontHandle hFont =
        m_pDevice->CreateFont(CFontSpec{-41, 400, false, false, "Arial"});
    m_pDevice->SelectFont(hFont);
    for (int nPage = 1; nPage <= 2; ++nPage) {
        ASSERT_TRUE(m_pDevice->StartPage());
        m_pDevice->DrawText("page" + std::to_string(nPage), CRect{100, 100, 1000, 200},
                            DT_SINGLELINE);
        ASSERT_TRUE(m_pDevice->EndPage());
    }
    ASSERT_TRUE(m_pDevice->EndDoc());
    EXPECT_EQ(PageCount(m_strPdf), 2);
    EXPECT_EQ(Words(PageText(m_strPdf, 1)), std::set<std::string>{"page1"});
    EXPECT_EQ(Words(PageText(m_strPdf, 2)), std::set<std::string>{"page2"});
    EXPECT_NE(RunCommand(std::string(KORVANE_PDFINFO) + " " + ShellQuote(m_strPdf))
                  .find("Periodical List"),
              std::string::npos);
}

TEST(QtPrintDevice, AnAbortedDocumentLeavesNoFile)
{
    CTempDir dir;
    const std::string strPdf = dir.File("aborted.pdf");
    auto pDevice = CQtPrintDevice::ForPdf(strPdf);
    ASSERT_TRUE(pDevice->StartDoc("Periodical List"));
    ASSERT_TRUE(pDevice->StartPage());
    pDevice->DrawText("half", CRect{100, 100, 1000, 200}, DT_SINGLELINE);
    pDevice->AbortDoc();
    EXPECT_FALSE(std::filesystem::exists(strPdf));
    EXPECT_FALSE(pDevice->EndDoc());
    // The device can print a new document afterwards.
    ASSERT_TRUE(pDevice->StartDoc("Periodical List"));
    ASSERT_TRUE(pDevice->StartPage());
    ASSERT_TRUE(pDevice->EndPage());
    ASSERT_TRUE(pDevice->EndDoc());
    EXPECT_TRUE(std::filesystem::exists(strPdf));
}

TEST_F(PdfDevice, TextIsClippedToItsRectangle)
{
    ASSERT_NO_FATAL_FAILURE(StartPdf("clip.pdf", "clip"));
    ASSERT_TRUE(m_pDevice->StartPage());
    m_pDevice->SelectFont(m_pDevice->CreateFont(CFontSpec{-100, 400, false, false, "Arial"}));
    m_pDevice->DrawText("MMMM", CRect{100, 100, 1000, 300}, DT_SINGLELINE);
    // Cut after about one letter, and below the upper half of the line.
    m_pDevice->DrawText("MMMM", CRect{100, 400, 180, 450}, DT_SINGLELINE);
    ASSERT_TRUE(m_pDevice->EndPage());
    ASSERT_TRUE(m_pDevice->EndDoc());
    const QImage image = RenderFirstPage(m_strPdf, m_dir.File("clip"));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(DarkPixels(image, CRect{100, 100, 1000, 300}), 1000);
    EXPECT_GT(DarkPixels(image, CRect{100, 400, 180, 450}), 100);
    // The rasteriser may set the pixel on a clip edge; one beyond it stays white.
    EXPECT_EQ(DarkPixels(image, CRect{181, 380, 1000, 520}), 0);
    EXPECT_EQ(DarkPixels(image, CRect{80, 451, 180, 520}), 0);
}

class PdfPrintTest : public PdfTest
{
protected:
    CFakePlatform m_fake;
    std::shared_ptr<CPrintLog> m_pLog = std::make_shared<CPrintLog>();
    CListPrinter m_printer;
};

TEST_F(PdfPrintTest, AListOfThreePagesHasEveryCellOnItsPage)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 70; ++i) {
        char szRow[8];
        std::snprintf(szRow, sizeof szRow, "%03d", i);
        rows.push_back(
            {std::string("login-") + szRow, std::string("site-") + szRow + ".example", ""});
    }
    auto pList = MakeList({{"Login"}, {"Address"}, {"Note"}}, rows);
    const std::string strPdf = m_dir.File("list.pdf");
    AnswerWithPdf(m_fake, strPdf, m_pLog);
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());

    ASSERT_EQ(PageCount(strPdf), 3);
    const std::string strInfo = RunCommand(std::string(KORVANE_PDFINFO) + " " + ShellQuote(strPdf));
    EXPECT_NE(strInfo.find("Periodical List"), std::string::npos) << strInfo;

    std::vector<std::set<std::string>> pages;
    for (int nPage = 1; nPage <= 3; ++nPage)
        pages.push_back(Words(PageText(strPdf, nPage)));

    // The title and the captions are on the first page only.
    for (const char* pszHeader : {"Data", "List", "Login", "Address", "Note"}) {
        EXPECT_EQ(pages[0].count(pszHeader), 1u) << pszHeader;
        EXPECT_EQ(pages[1].count(pszHeader), 0u) << pszHeader;
        EXPECT_EQ(pages[2].count(pszHeader), 0u) << pszHeader;
    }
    // Each cell is on the page it was drawn on, and on no other.
    std::map<std::string, int> drawnOn;
    for (const CPrintOp& op : m_pLog->Of(CPrintOp::Text))
        drawnOn[op.strText] = op.nPage;
    int nLastPage = 0;
    for (const auto& row : rows) {
        for (size_t j = 0; j < 2; ++j) {
            const std::string& strCell = row[j];
            ASSERT_EQ(drawnOn.count(strCell), 1u) << strCell;
            const int nPage = drawnOn[strCell];
            EXPECT_GE(nPage, nLastPage) << strCell;
            nLastPage = nPage;
            for (int p = 1; p <= 3; ++p)
                EXPECT_EQ(pages[static_cast<size_t>(p - 1)].count(strCell), p == nPage ? 1u : 0u)
                    << strCell << " on page " << p;
        }
    }
    EXPECT_EQ(drawnOn["login-000"], 1);
    EXPECT_EQ(drawnOn["login-069"], 3);
    // Nothing but the title, the captions and the cells is printed.
    size_t nWords = 0;
    for (const auto& page : pages)
        nWords += page.size();
    EXPECT_EQ(nWords, 5u + 2u * rows.size());
}

TEST_F(PdfPrintTest, ThePageShowsTheBoxesAndColours)
{
    auto pList = MakeList({{"Login"}, {"Address"}},
                          {{"alice", "https://a.example"}, {"bob", "https://b.example"}});
    const std::string strPdf = m_dir.File("look.pdf");
    AnswerWithPdf(m_fake, strPdf, m_pLog);
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));

    const QImage image = RenderFirstPage(strPdf, m_dir.File("look"));
    ASSERT_FALSE(image.isNull());
    auto Pixel = [&](int x, int y) { return DevicePixel(image, x, y); };

    const auto rects = m_pLog->Of(CPrintOp::Rectangle);
    ASSERT_EQ(rects.size(), 7u);
    // The outlines are black on their left and top edges, and white inside.
    for (const CPrintOp& op : rects) {
        const int nMidY = (op.rect.top + op.rect.bottom) / 2;
        const int nMidX = (op.rect.left + op.rect.right) / 2;
        EXPECT_TRUE(IsDark(Pixel(op.rect.left, nMidY))) << op.rect.left << "," << nMidY;
        EXPECT_TRUE(IsDark(Pixel(nMidX, op.rect.top))) << nMidX << "," << op.rect.top;
        EXPECT_TRUE(IsDark(Pixel(op.rect.right - 1, nMidY)));
        EXPECT_TRUE(IsDark(Pixel(nMidX, op.rect.bottom - 1)));
        EXPECT_EQ(Pixel(op.rect.left + 1, op.rect.top + 1), QColor(Qt::white));
    }
    // Grey inside the caption cells, between the outline and the fill a
    // white frame of one pixel.
    const auto fills = m_pLog->Of(CPrintOp::Fill);
    ASSERT_EQ(fills.size(), 2u);
    for (const CPrintOp& op : fills) {
        EXPECT_EQ(Pixel(op.rect.left, op.rect.bottom - 1), QColor(220, 220, 220));
        EXPECT_EQ(Pixel(op.rect.right - 1, op.rect.top), QColor(220, 220, 220));
    }

    // The colours of the texts: count the pixels of each colour in each
    // text's rectangle.
    auto Count = [&](const CRect& rect, const QColor& color) {
        int n = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                n += Pixel(x, y) == color ? 1 : 0;
        return n;
    };
    for (const CPrintOp& op : m_pLog->Of(CPrintOp::Text)) {
        SCOPED_TRACE(op.strText);
        const QColor color(GetRValue(op.cr), GetGValue(op.cr), GetBValue(op.cr));
        EXPECT_GT(Count(op.rect, color), 50);
    }
    const auto texts = m_pLog->Of(CPrintOp::Text);
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0].cr, RGB(114, 106, 16));
    EXPECT_EQ(texts[2].cr, RGB(0, 0, 255));
    EXPECT_EQ(texts[3].cr, RGB(0, 0, 0));
    // Text is set at the top of its rectangle: the blue of the title is in
    // its upper part.
    const CRect title = texts[2].rect;
    EXPECT_GT(Count(CRect{title.left, title.top, title.right, title.top + 20}, QColor(0, 0, 255)),
              20);
}

TEST_F(PdfPrintTest, APdfInAMissingFolderIsReported)
{
    auto pList = MakeList({{"Login"}}, {{"alice"}});
    const std::string strPdf = m_dir.File("missing/list.pdf");
    AnswerWithPdf(m_fake, strPdf, m_pLog);
    EXPECT_FALSE(m_printer.PrintList(*pList, "Data List"));
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_shown[0].strText,
              "The list was not printed: the printer did not start the document.\n"
              "Cannot write the file " +
                  strPdf + ".");
    EXPECT_FALSE(std::filesystem::exists(strPdf));
    EXPECT_TRUE(m_pLog->Of(CPrintOp::Text).empty());
}

namespace {

// Answers the next modal dialog: accepts it or rejects it.
void AnswerNextDialog(bool bAccept, QString* pName)
{
    QTimer::singleShot(0, [bAccept, pName] {
        QWidget* pModal = QApplication::activeModalWidget();
        auto* pDialog = qobject_cast<QDialog*>(pModal);
        if (pDialog == nullptr) {
            AnswerNextDialog(bAccept, pName);
            return;
        }
        *pName = pDialog->objectName();
        if (bAccept)
            pDialog->accept();
        else
            pDialog->reject();
    });
}

} // namespace

TEST(QtPrintDialog, CancelGivesNoDeviceOkGivesOne)
{
    CQtPrintDialog dialog;
    QString strName;
    AnswerNextDialog(false, &strName);
    EXPECT_EQ(dialog.Run(), nullptr);
    EXPECT_EQ(strName, "printDialog");

    strName.clear();
    AnswerNextDialog(true, &strName);
    const std::unique_ptr<IPrintDevice> pDevice = dialog.Run();
    EXPECT_EQ(strName, "printDialog");
    ASSERT_NE(pDevice, nullptr);
    EXPECT_GT(pDevice->GetDeviceCaps(LOGPIXELSY), 0);
}

TEST_F(PdfPrintTest, AListWiderThanA4IsScaledOntoThePageAndItsPagesNumbered)
{
    // Five columns of long values, as the samples' notes are, and pages of rows.
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 90; ++i) {
        const std::string n = std::to_string(100 + i);
        rows.push_back({"https://intranet.example.com/timesheets/" + n, "CONTOSO/nancy.davolio" + n,
                        "S3pt_2023-Autumn-" + n, "2024-03-08T09:00:03-" + n,
                        "Expires-every-90-days-ask-the-help-desk-" + n});
    }
    auto pList = MakeList({{"Site"}, {"Login"}, {"Password"}, {"Last"}, {"Notes"}}, rows);
    const std::string strPdf = m_dir.File("wide.pdf");
    AnswerWithPdf(m_fake, strPdf, m_pLog);
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    ASSERT_FALSE(m_pLog->Of(CPrintOp::Scale).empty());

    const int nPages = PageCount(strPdf);
    ASSERT_GT(nPages, 1);
    // Every word lies on the page, inside its right margin (A4 is 595.3
    // points wide, the printable area ends a quarter inch from the edge),
    // and every cell is there.
    const std::string strBoxes =
        RunCommand(std::string(KORVANE_PDFTOTEXT) + " -bbox " + ShellQuote(strPdf) + " -");
    const std::regex word(R"re(xMax="([0-9.]+)"[^>]*>([^<]*)</word>)re");
    std::set<std::string> words;
    double dRightmost = 0;
    for (std::sregex_iterator it(strBoxes.begin(), strBoxes.end(), word), end; it != end; ++it) {
        dRightmost = std::max(dRightmost, std::stod((*it)[1]));
        words.insert((*it)[2]);
    }
    EXPECT_LE(dRightmost, 595.3 - 18.0);
    for (const auto& row : rows) {
        for (const std::string& strCell : row)
            EXPECT_EQ(words.count(strCell), 1u) << strCell;
    }
    // "Page N of M" at the foot of each page.
    for (int nPage = 1; nPage <= nPages; ++nPage) {
        const std::string strText = PageText(strPdf, nPage);
        const std::string strNumber =
            "Page " + std::to_string(nPage) + " of " + std::to_string(nPages);
        const size_t nEnd = strText.find_last_not_of(" \n\f");
        ASSERT_NE(nEnd, std::string::npos);
        const std::string strLastLine = strText.substr(strText.rfind('\n', nEnd) + 1);
        EXPECT_NE(strLastLine.find(strNumber), std::string::npos) << strNumber;
    }
}
