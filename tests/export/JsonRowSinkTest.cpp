// JSON and JSON Lines: the bytes of small tables, rows formatted apart as on
// the threads of a streamed parse, and every awkward cell read back whole by
// Python's json module.
#include "export/JsonRowSink.h"

#include "support/AwkwardList.h"
#include "support/FormatReaders.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"
#include "framework/ListRows.h"
#include "framework/Sink.h"

#include <gtest/gtest.h>

namespace {

CString WriteList(const CListCtrl& list, EJsonLayout eLayout)
{
    CStringSink bytes;
    CJsonRowSink sink(bytes, eLayout);
    EXPECT_TRUE(SendListRows(list, sink));
    return bytes.GetText();
}

// The rows formatted one by one and handed over in runs of nRun rows, as a
// streamed parse hands over the rows of its pieces.
CString WriteFormatted(const CListCtrl& list, EJsonLayout eLayout, int nRun)
{
    CStringSink bytes;
    CJsonRowSink sink(bytes, eLayout);
    EXPECT_TRUE(sink.BeginRows(ColumnsOf(list)));
    const int nColumns = list.GetColumnCount();
    std::vector<std::string_view> cells(static_cast<size_t>(nColumns));
    CString strRun;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        list.GetItemTexts(i, cells.data(), nColumns);
        sink.GetFormatter()->FormatRow(strRun, cells.data(), -1);
        if ((i + 1) % nRun == 0) {
            EXPECT_TRUE(sink.AddFormattedRows(strRun));
            strRun.clear();
        }
    }
    EXPECT_TRUE(sink.AddFormattedRows(strRun));
    EXPECT_TRUE(sink.EndRows());
    return bytes.GetText();
}

} // namespace

TEST(JsonRowSink, BytesOfSmallTables)
{
    const auto pTwo = MakeList({{"a"}, {"b \"q\""}, {"a"}},
                               {{"1", "x\ty\r\n", "\x01\x7F"}, {"", "\\/", "caf\xC3\xA9 \xFF"}});
    const auto pNone = MakeList({{"a"}}, {});
    const auto pNoColumns = MakeList({}, {{}, {}});
    struct CCase
    {
        const CListCtrl* pList;
        EJsonLayout eLayout;
        const char* pszBytes;
    };
    const CCase cases[] = {
        {pTwo.get(), EJsonLayout::Array,
         "[\n{\"a\":\"1\",\"b \\\"q\\\"\":\"x\\ty\\r\\n\",\"a_2\":\"\\u0001\x7F\"},\n"
         "{\"a\":\"\",\"b \\\"q\\\"\":\"\\\\/\",\"a_2\":\"caf\xC3\xA9 \xEF\xBF\xBD\"}\n]\n"},
        {pTwo.get(), EJsonLayout::Lines,
         "{\"a\":\"1\",\"b \\\"q\\\"\":\"x\\ty\\r\\n\",\"a_2\":\"\\u0001\x7F\"}\n"
         "{\"a\":\"\",\"b \\\"q\\\"\":\"\\\\/\",\"a_2\":\"caf\xC3\xA9 \xEF\xBF\xBD\"}\n"},
        {pNone.get(), EJsonLayout::Array, "[]\n"},
        {pNone.get(), EJsonLayout::Lines, ""},
        {pNoColumns.get(), EJsonLayout::Array, "[\n{},\n{}\n]\n"},
    };
    for (const CCase& c : cases) {
        EXPECT_EQ(WriteList(*c.pList, c.eLayout), c.pszBytes);
        for (const int nRun : {1, 2})
            EXPECT_EQ(WriteFormatted(*c.pList, c.eLayout, nRun), c.pszBytes) << nRun;
    }
}

TEST(JsonRowSink, PythonReadsEveryCellWholeUnderUniqueNames)
{
    const auto pList = awkward::List();
    CRows rows = awkward::RepairedRows();
    rows.insert(rows.begin(),
                {"Name", "Time", "Date", " Start-Date ", "", "Notes", "Name_2", "name"});
    const std::string strExpected = DumpRows(rows);
    const CTempDir dir;
    for (const auto& [format, pszCommand] :
         {std::pair{ESaveFormat::Json, "json"}, std::pair{ESaveFormat::Jsonl, "jsonl"}}) {
        const std::string strPath = dir.File(std::string("awkward.") + pszCommand);
        CString strError;
        ASSERT_EQ(CListExporter().SaveToFile(strPath, format, *pList, "KorvaneData", strError), 1)
            << strError;
        EXPECT_EQ(RunReadFormats(pszCommand, strPath), strExpected) << pszCommand;
    }
}
