// The XML written row by row against the document the XML document class
// builds for the same list, edit by edit, as the plain reference.
#include "export/XmlRowSink.h"

#include "support/ListBuilder.h"
#include "support/PinnedClock.h"
#include "export/ListExporter.h"
#include "export/XmlDataFile.h"
#include "framework/ListRows.h"
#include "framework/Sink.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The document of the list built by its editing operations: the image and
// each column's value set as attributes of one "Row" per row.
CString DocumentOf(const CListCtrl& list)
{
    CXmlDataFile file;
    file.InitDocument("dataroot");
    CXmlDocument& doc = file.GetDocument();
    doc.EnterElement();
    doc.AddElement("ListData");
    for (int nRow = 0; nRow < list.GetItemCount(); ++nRow) {
        doc.AddChildElement("Row");
        for (int nCol = 0; nCol < list.GetColumnCount(); ++nCol) {
            if (nCol == 0) {
                const int nImage = list.GetItemImage(nRow);
                doc.SetChildAttribute("image", nImage < 0 ? "-1" : std::to_string(nImage).c_str());
            }
            const CString strName =
                XmlAttributeName(list.GetColumnCaption(nCol, CListCtrl::kTextBuffer));
            const CString strValue =
                XmlAttributeValue(list.GetItemTextBounded(nRow, nCol, CListCtrl::kTextBuffer));
            doc.SetChildAttribute(strName.c_str(), strValue.c_str());
        }
    }
    return file.TakeDocumentText();
}

std::string RandomText(std::mt19937& rng, bool bName)
{
    static const char* const kPieces[] = {"a",  "image", " ", "<",     "&amp;", "\"",   "'",
                                          ">",  "x:y",   "1", "\t",    "\n",    "\x80", "é",
                                          "名", "__",    "-", "xmlns", ".",     "\0"};
    std::string strText;
    const int nPieces = static_cast<int>(rng() % (bName ? 3 : 6));
    for (int i = 0; i < nPieces; ++i) {
        const char* pszPiece = kPieces[rng() % std::size(kPieces)];
        strText += *pszPiece == '\0' ? std::string(1, '\0') : std::string(pszPiece);
    }
    if (rng() % 20 == 0)
        strText += std::string(300, 'v');
    return strText;
}

} // namespace

TEST(XmlRowSink, WritesTheBytesOfTheDocumentForRandomLists)
{
    const CPinnedClock clock;
    std::mt19937 rng(5);
    const CListExporter exporter;
    for (int nCase = 0; nCase < 400; ++nCase) {
        const int nColumns = static_cast<int>(rng() % 5);
        std::vector<CColumnDef> columns;
        for (int j = 0; j < nColumns; ++j)
            columns.push_back(CColumnDef{RandomText(rng, true)});
        std::vector<std::vector<std::string>> rows(rng() % 4);
        for (auto& row : rows) {
            for (int j = 0; j < std::max(nColumns, 1); ++j)
                row.push_back(RandomText(rng, false));
        }
        const auto list = MakeList(columns, rows);
        ASSERT_EQ(exporter.GetXmlText(*list), DocumentOf(*list)) << "case " << nCase;
    }
}

TEST(XmlRowSink, RowsFormattedApartAreTheRowsAddedOneByOne)
{
    const CPinnedClock clock;
    const auto list = MakeList({{"a"}, {"b <&>"}, {"a"}}, {{"1", "x", "2"}, {"3", "", "4"}});
    CStringSink formatted;
    CXmlRowSink sink(formatted);
    ASSERT_TRUE(sink.BeginRows(ColumnsOf(*list)));
    CString strRows;
    for (int i = 0; i < list->GetItemCount(); ++i) {
        std::string_view cells[3];
        list->GetItemTexts(i, cells, 3);
        sink.GetFormatter()->FormatRow(strRows, cells, -1);
    }
    ASSERT_TRUE(sink.AddFormattedRows(strRows));
    ASSERT_TRUE(sink.EndRows());
    EXPECT_EQ(formatted.GetText(), DocumentOf(*list));
}
