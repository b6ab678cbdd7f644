#include "ui/ListPrinter.h"

#include "support/FakePlatform.h"
#include "support/ListBuilder.h"
#include "support/RecordingPrintDevice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// The recording device's fixed metrics at 300 dpi: the fonts are 75 (18
// point), 41 (10 point) and 50 (12 point) pixels high; a byte is half that
// wide and a line a quarter taller: 93, 51 and 62 pixels.
namespace {

// A text drawn transparently on page 1, as the printer should draw it.
struct CExpectedText
{
    const char* pszText;
    CRect rect;
    unsigned nFlags;
    COLORREF cr;
    int nFontHeight;
};

void ExpectTextsOnPageOne(const std::vector<CPrintOp>& texts,
                          const std::vector<CExpectedText>& expected)
{
    ASSERT_EQ(texts.size(), expected.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(expected[i].pszText);
        EXPECT_EQ(texts[i].strText, expected[i].pszText);
        EXPECT_EQ(texts[i].rect, expected[i].rect);
        EXPECT_EQ(texts[i].nFlags, expected[i].nFlags);
        EXPECT_EQ(texts[i].cr, expected[i].cr);
        EXPECT_EQ(texts[i].nFontHeight, expected[i].nFontHeight);
        EXPECT_TRUE(texts[i].bTransparent);
        EXPECT_EQ(texts[i].nPage, 1);
    }
}

constexpr int kLine18 = 93;
constexpr int kLine10 = 51;
constexpr int kLine12 = 62;
constexpr int kByte10 = 20;
constexpr int kByte12 = 25;
constexpr int kByte18 = 37;

class ListPrinterTest : public ::testing::Test
{
protected:
    // Answers the next print dialog with a recording device and returns it
    // for scripting; it lives until the job ends.
    CRecordingPrintDevice* AnswerWithRecorder()
    {
        auto pDevice = std::make_unique<CRecordingPrintDevice>(m_pLog);
        CRecordingPrintDevice* pRaw = pDevice.get();
        auto pShared = std::make_shared<std::unique_ptr<IPrintDevice>>(std::move(pDevice));
        m_fake.printDialog.Answer([pShared]() { return std::move(*pShared); });
        return pRaw;
    }

    std::vector<CPrintOp> Texts() const { return m_pLog->Of(CPrintOp::Text); }
    std::vector<CPrintOp> Rects() const { return m_pLog->Of(CPrintOp::Rectangle); }

    CFakePlatform m_fake;
    std::shared_ptr<CPrintLog> m_pLog = std::make_shared<CPrintLog>();
    CListPrinter m_printer;
};

} // namespace

TEST_F(ListPrinterTest, EmptyListShowsNoDialogAndPrintsNothing)
{
    auto pList = MakeList({{"Name"}}, {});
    AnswerWithRecorder();
    EXPECT_FALSE(m_printer.PrintList(*pList, "Data List"));
    EXPECT_EQ(m_fake.printDialog.m_nRuns, 0);
    EXPECT_TRUE(m_pLog->ops.empty());
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
}

TEST_F(ListPrinterTest, CancelledDialogPrintsNothing)
{
    auto pList = MakeList({{"Name"}}, {{"alice"}});
    m_fake.printDialog.Cancel();
    EXPECT_FALSE(m_printer.PrintList(*pList, "Data List"));
    EXPECT_EQ(m_fake.printDialog.m_nRuns, 1);
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
}

TEST_F(ListPrinterTest, FontsAreArialAtThePrinterResolutionAndLiveForOneJob)
{
    auto pList = MakeList({{"Name"}}, {{"alice"}});
    for (int nDpi : {300, 600, 203}) {
        m_pLog->created.clear();
        m_pLog->nDeleted = 0;
        AnswerWithRecorder()->m_nDpi = nDpi;
        ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
        ASSERT_EQ(m_pLog->created.size(), 3u);
        // 18, 10 and 12 point; the division truncates (203 dpi: 50.75, 28.19, 33.83).
        const int expected[] = {-(18 * nDpi / 72), -(10 * nDpi / 72), -(12 * nDpi / 72)};
        for (size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE("dpi " + std::to_string(nDpi) + " font " + std::to_string(i));
            EXPECT_EQ(m_pLog->created[i].nHeight, expected[i]);
            EXPECT_EQ(m_pLog->created[i].nWeight, 400);
            EXPECT_FALSE(m_pLog->created[i].bItalic);
            EXPECT_FALSE(m_pLog->created[i].bUnderline);
            EXPECT_EQ(m_pLog->created[i].strFace, "Arial");
        }
        EXPECT_EQ(m_pLog->nDeleted, 3);
    }
    EXPECT_EQ(m_pLog->created[0].nHeight, -50);
    EXPECT_EQ(m_pLog->created[1].nHeight, -28);
}

TEST_F(ListPrinterTest, TitleBoxCaptionCellsAndRowsHaveTheirGeometry)
{
    auto pList = MakeList({{"Name"}, {"Id"}}, {{"alice", ""}, {"bob", "1234567"}});
    AnswerWithRecorder();
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));

    const auto docs = m_pLog->Of(CPrintOp::StartDoc);
    ASSERT_EQ(docs.size(), 1u);
    EXPECT_EQ(docs[0].strText, "Periodical List");

    // Title band: 130 + 93 + 5 + 62 + 2 * 5 = 300; caption row at 300 + 15.
    const int nBand = 130 + kLine18 + 5 + kLine12 + 10;
    const int nY0 = nBand + 15;
    // Column 0: "alice" 5 bytes at 10 pt outweighs "Name" 4 bytes at 12 pt.
    const int w0 = 5 * kByte10 + 30;
    // Column 1: "1234567" outweighs "Id" and the empty cell's "E".
    const int w1 = 7 * kByte10 + 30;
    const int nHeaderBottom = nY0 + 20 + kLine10;
    const int nRight = 50 + w0 + 10 + w1 + 10;
    const int nRow = 20 + kLine18;

    const std::vector<CRect> expectedRects = {
        {50, nY0, 50 + w0 + 10, nHeaderBottom},
        {50 + w0 + 10, nY0, nRight, nHeaderBottom},
        {50, 130, nRight, nBand},
        {50, nHeaderBottom, 50 + w0 + 10, nHeaderBottom + nRow},
        {50 + w0 + 10, nHeaderBottom, nRight, nHeaderBottom + nRow},
        {50, nHeaderBottom + nRow, 50 + w0 + 10, nHeaderBottom + 2 * nRow},
        {50 + w0 + 10, nHeaderBottom + nRow, nRight, nHeaderBottom + 2 * nRow},
    };
    const auto rects = Rects();
    ASSERT_EQ(rects.size(), expectedRects.size());
    for (size_t i = 0; i < rects.size(); ++i)
        EXPECT_EQ(rects[i].rect, expectedRects[i]) << "rectangle " << i;

    // The grey fills sit 2 pixels inside each caption cell.
    const auto fills = m_pLog->Of(CPrintOp::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect, (CRect{52, nY0 + 2, 50 + w0 + 10 - 2, nHeaderBottom - 2}));
    EXPECT_EQ(fills[1].rect, (CRect{50 + w0 + 12, nY0 + 2, nRight - 2, nHeaderBottom - 2}));
    for (const CPrintOp& fill : fills)
        EXPECT_EQ(fill.cr, RGB(220, 220, 220));

    const unsigned kCenter = DT_CENTER | DT_SINGLELINE;
    const unsigned kLeftLine = DT_LEFT | DT_SINGLELINE;
    const COLORREF kCaption = RGB(114, 106, 16);
    const int y1 = nHeaderBottom;
    const int y2 = nHeaderBottom + nRow;
    const int x1 = 50 + w0 + 10;
    const std::vector<CExpectedText> expected = {
        {"Name", {55, nY0 + 5, 55 + w0, nY0 + 10 + kLine10}, kCenter, kCaption, -41},
        {"Id", {x1 + 5, nY0 + 5, x1 + 5 + w1, nY0 + 10 + kLine10}, kCenter, kCaption, -41},
        {"Data List", {50, 155, nRight, 155 + kLine18}, kCenter, RGB(0, 0, 255), -75},
        {"alice", {55, y1 + 5, 55 + w0, y1 + 10 + kLine18}, kLeftLine, RGB(0, 0, 0), -41},
        {"", {x1 + 5, y1 + 5, x1 + 5 + w1, y1 + 10 + kLine18}, kLeftLine, RGB(0, 0, 0), -41},
        {"bob", {55, y2 + 5, 55 + w0, y2 + 10 + kLine18}, kLeftLine, RGB(0, 0, 0), -41},
        {"1234567", {x1 + 5, y2 + 5, x1 + 5 + w1, y2 + 10 + kLine18}, kLeftLine, RGB(0, 0, 0), -41},
    };
    ExpectTextsOnPageOne(Texts(), expected);
    EXPECT_EQ(m_pLog->Of(CPrintOp::StartPage).size(), 1u);
    EXPECT_EQ(m_pLog->Of(CPrintOp::EndPage).size(), 1u);
    EXPECT_EQ(m_pLog->Of(CPrintOp::EndDoc).size(), 1u);
    EXPECT_TRUE(m_pLog->Of(CPrintOp::AbortDoc).empty());
}

TEST_F(ListPrinterTest, ColumnWidthIsTheWidestTextPlusThirty)
{
    const std::string strLong(300, 'x');
    struct Case
    {
        const char* pszName;
        std::string strCaption;
        std::vector<std::string> cells;
        int nWidth;
    };
    const Case cases[] = {
        // Captions are measured in 12 point, cells in 10 point.
        {"caption wins", "Caption", {"abc", "abcdef"}, 7 * kByte12 + 30},
        {"cell wins", "Id", {"a", "abcdefghij"}, 10 * kByte10 + 30},
        {"empty cells count as E", "", {"", ""}, 1 * kByte10 + 30},
        {"empty caption and cells", "", {""}, kByte10 + 30},
        {"a long cell is measured by 254 bytes", "Id", {strLong}, 254 * kByte10 + 30},
        {"a long caption is measured by 254 bytes", strLong, {"a"}, 254 * kByte12 + 30},
        {"the widest of many rows", "N", {"ab", "abcdefgh", "abc", ""}, 8 * kByte10 + 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::vector<std::vector<std::string>> rows;
        for (const std::string& cell : c.cells)
            rows.push_back({cell});
        auto pList = MakeList({{c.strCaption}}, rows);
        m_pLog->ops.clear();
        AnswerWithRecorder();
        ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
        const auto rects = Rects();
        ASSERT_FALSE(rects.empty());
        EXPECT_EQ(rects[0].rect.right - rects[0].rect.left, c.nWidth + 10);
    }
}

TEST_F(ListPrinterTest, LongTextsAreMeasuredCutButDrawnWhole)
{
    const std::string strLong(300, 'y');
    auto pList = MakeList({{"Col"}}, {{strLong}});
    AnswerWithRecorder();
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    bool bMeasuredCut = false;
    for (const CPrintOp& op : m_pLog->Of(CPrintOp::Extent)) {
        EXPECT_LE(op.strText.size(), 254u);
        bMeasuredCut = bMeasuredCut || op.strText == strLong.substr(0, 254);
    }
    EXPECT_TRUE(bMeasuredCut);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[2].strText, strLong);
    // The text rectangle is the column's width, so the rest is clipped.
    EXPECT_EQ(texts[2].rect.right - texts[2].rect.left, 254 * kByte10 + 30);
}

TEST_F(ListPrinterTest, RowsBreakToANewPageAtThePageHeight)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 14; ++i)
        rows.push_back({"r" + std::to_string(i)});
    auto pList = MakeList({{"N"}}, rows);

    const int nHeaderBottom = 130 + kLine18 + 5 + kLine12 + 10 + 15 + 20 + kLine10;
    const int nRow = 20 + kLine18;
    // Five rows fill page 1 exactly: a row that ends on the page height
    // still fits, the next one starts page 2 at 130.
    const int nPageHeight = nHeaderBottom + 5 * nRow;
    AnswerWithRecorder()->m_nPageHeight = nPageHeight;
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));

    const int nPerLaterPage = (nPageHeight - 130) / nRow;
    std::vector<CPrintOp> cells;
    for (const CPrintOp& op : Texts()) {
        if (op.strText.size() > 1 && op.strText[0] == 'r')
            cells.push_back(op);
    }
    ASSERT_EQ(cells.size(), 14u);
    for (int i = 0; i < 14; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        int nPage = 1;
        int nTop = nHeaderBottom + i * nRow;
        if (i >= 5) {
            nPage = 2 + (i - 5) / nPerLaterPage;
            nTop = 130 + ((i - 5) % nPerLaterPage) * nRow;
        }
        EXPECT_EQ(cells[static_cast<size_t>(i)].nPage, nPage);
        EXPECT_EQ(cells[static_cast<size_t>(i)].rect.top, nTop + 5);
        EXPECT_LE(cells[static_cast<size_t>(i)].rect.top - 5 + nRow, nPageHeight);
    }
    const int nPages = cells.back().nPage;
    EXPECT_EQ(nPages, 3);
    EXPECT_EQ(m_pLog->Of(CPrintOp::StartPage).size(), 3u);
    EXPECT_EQ(m_pLog->Of(CPrintOp::EndPage).size(), 3u);
    // Neither the title nor the captions are repeated.
    for (const CPrintOp& op : Texts()) {
        if (op.strText == "Data List" || op.strText == "N") {
            EXPECT_EQ(op.nPage, 1);
        }
    }
}

TEST_F(ListPrinterTest, AWideGridRunsOffThePageUnscaled)
{
    const std::string strWide(200, 'w');
    auto pList = MakeList({{"A"}, {"B"}, {"C"}}, {{strWide, strWide, strWide}});
    AnswerWithRecorder();
    ASSERT_TRUE(m_printer.PrintList(*pList, "A title far wider than anything else on the page"));
    const auto rects = Rects();
    ASSERT_EQ(rects.size(), 7u);
    const int nCell = 200 * kByte10 + 30 + 10;
    EXPECT_EQ(rects[2].rect.right, 50 + 3 * nCell);
    // The title is centred on the grid and cut at its edges.
    const auto texts = Texts();
    ASSERT_EQ(texts[3].strText, "A title far wider than anything else on the page");
    EXPECT_EQ(texts[3].rect.left, 50);
    EXPECT_EQ(texts[3].rect.right, 50 + 3 * nCell);
}

TEST_F(ListPrinterTest, ATitleWiderThanANarrowGridIsCentredOnTheGrid)
{
    auto pList = MakeList({{"A"}}, {{"a"}});
    AnswerWithRecorder();
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    // The grid is "A" at 12 point + 30 + 10 wide, narrower than the title.
    EXPECT_EQ(texts[1].rect, (CRect{50, 155, 50 + kByte12 + 40, 155 + kLine18}));
    EXPECT_GT(9 * kByte18, kByte12 + 40);
}

TEST_F(ListPrinterTest, ASecondJobStartsAfresh)
{
    auto pList = MakeList({{"Name"}}, {{"alice"}, {"bob"}});
    AnswerWithRecorder();
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    const std::vector<CPrintOp> first = Texts();
    m_pLog->ops.clear();
    AnswerWithRecorder();
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    const std::vector<CPrintOp> second = Texts();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].rect, second[i].rect);
    EXPECT_EQ(m_pLog->nDeleted, 6);
}

TEST_F(ListPrinterTest, PrinterFailuresAreReportedAndNothingMoreIsDrawn)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back({"r" + std::to_string(i)});
    auto pList = MakeList({{"N"}}, rows);

    struct Case
    {
        const char* pszName;
        bool bFailStartDoc;
        int nFailStartPage;
        bool bFailEndDoc;
        const char* pszMessage;
        bool bAborted;
    };
    const Case cases[] = {
        {"start of the document", true, 0, false,
         "The list was not printed: the printer did not start the document.", false},
        {"first page", false, 1, false,
         "The list was not printed: the printer did not start the first page.", true},
        {"a later page", false, 2, false,
         "The list was not printed: the printer did not start a new page.", true},
        {"end of the document", false, 0, true,
         "The list was not printed: the printer did not finish the document.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        m_pLog->ops.clear();
        m_pLog->nDeleted = 0;
        m_fake.messageBox.m_shown.clear();
        CRecordingPrintDevice* pDevice = AnswerWithRecorder();
        pDevice->m_nPageHeight = 1000;
        pDevice->m_bFailStartDoc = c.bFailStartDoc;
        pDevice->m_nFailStartPage = c.nFailStartPage;
        pDevice->m_bFailEndDoc = c.bFailEndDoc;
        EXPECT_FALSE(m_printer.PrintList(*pList, "Data List"));
        ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
        EXPECT_EQ(m_fake.messageBox.m_shown[0].strText,
                  CString(c.pszMessage) + "\nThe printer is out of paper.");
        EXPECT_EQ(m_fake.messageBox.m_shown[0].icon, EMessageIcon::Exclamation);
        EXPECT_EQ(m_pLog->Of(CPrintOp::AbortDoc).size(), c.bAborted ? 1u : 0u);
        EXPECT_EQ(m_pLog->nDeleted, 3);
        if (c.bFailStartDoc || c.nFailStartPage == 1) {
            EXPECT_TRUE(Texts().empty());
        }
        if (c.nFailStartPage == 2) {
            // Nothing is drawn after the failed page break.
            EXPECT_TRUE(m_pLog->Of(CPrintOp::EndDoc).empty());
            EXPECT_EQ(m_pLog->ops.back().kind, CPrintOp::DeleteFont);
        }
    }
}

TEST_F(ListPrinterTest, AGridWiderThanThePageIsScaledToItAndItsPagesAreNumbered)
{
    const std::string strWide(100, 'w');
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back({"r" + std::to_string(i), strWide, strWide});
    auto pList = MakeList({{"A"}, {"B"}, {"C"}}, rows);
    // Columns of 3 * 20 + 30 ("r10") and 100 * 20 + 30 wide, 10 more each
    // for their boxes.
    const int nGridRight = 50 + (3 * kByte10 + 40) + 2 * (100 * kByte10 + 40);

    // A page as wide as the grid: printed as laid out, without numbers.
    AnswerWithRecorder()->m_nPageWidth = nGridRight;
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    EXPECT_TRUE(m_pLog->Of(CPrintOp::Scale).empty());
    EXPECT_EQ(Rects()[3].rect.right, nGridRight);
    for (const CPrintOp& op : Texts())
        EXPECT_NE(op.strText.substr(0, 5), "Page ");

    // One pixel narrower: the whole grid shrinks about the title's corner
    // until its right edge keeps the left margin from the page's edge.
    m_pLog->ops.clear();
    CRecordingPrintDevice* pDevice = AnswerWithRecorder();
    pDevice->m_nPageWidth = nGridRight - 1;
    pDevice->m_nPageHeight = 1000;
    ASSERT_TRUE(m_printer.PrintList(*pList, "Data List"));
    const double dScale = (nGridRight - 1 - 100.0) / (nGridRight - 50);
    const auto scales = m_pLog->Of(CPrintOp::Scale);
    ASSERT_FALSE(scales.empty());
    EXPECT_DOUBLE_EQ(scales[0].dScale, dScale);
    EXPECT_EQ(scales[0].rect.left, 50);
    EXPECT_EQ(scales[0].rect.top, 130);
    // The layout itself is the unscaled one.
    EXPECT_EQ(Rects()[3].rect.right, nGridRight);

    // Rows end above the page number's band (a 10-point line and two
    // spacings), measured on the page.
    const int nBand = kLine10 + 10;
    std::map<int, std::vector<std::string>> numbers;
    int nRowsOnPages = 0;
    for (const CPrintOp& op : Texts()) {
        if (op.strText.substr(0, 5) == "Page ") {
            numbers[op.nPage].push_back(op.strText);
            EXPECT_EQ(op.dScale, 1.0);
            EXPECT_EQ(op.rect, (CRect{50, 1000 - nBand + 5, nGridRight - 1 - 50, 1000}));
            EXPECT_EQ(op.nFlags, DT_CENTER | DT_SINGLELINE);
            continue;
        }
        EXPECT_DOUBLE_EQ(op.dScale, dScale) << op.strText;
        if (op.strText[0] == 'r') {
            ++nRowsOnPages;
            const double dBottom = 130 + (op.rect.top - 5 + 20 + kLine18 - 130) * dScale;
            EXPECT_LE(dBottom, 1000 - nBand) << op.strText;
        }
    }
    EXPECT_EQ(nRowsOnPages, 50);
    const int nPages = static_cast<int>(m_pLog->Of(CPrintOp::StartPage).size());
    ASSERT_GT(nPages, 1);
    ASSERT_EQ(numbers.size(), static_cast<size_t>(nPages));
    for (int nPage = 1; nPage <= nPages; ++nPage) {
        EXPECT_EQ(numbers[nPage],
                  std::vector<std::string>{"Page " + std::to_string(nPage) + " of " +
                                           std::to_string(nPages)});
    }
}
