// SQLite: what the sqlite3 shell finds in the table, and how a save treats
// the file it goes to: a database keeps its other tables, anything else is
// replaced, and a save that does not complete leaves the file as it was.
#include "export/SqliteRowSink.h"

#include "support/AwkwardList.h"
#include "support/FormatReaders.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"

#include <gtest/gtest.h>

namespace {

// Begins a save of a two-column table into strPath and adds one row, but
// never ends it, as a parse that fails half-way does.
void BreakOffSave(const std::string& strPath)
{
    CSqliteRowSink sink(strPath, "KorvaneData", false);
    ASSERT_TRUE(sink.BeginRows({{"a", 0}, {"b", 0}}));
    const std::string_view cells[] = {"new", "row"};
    ASSERT_TRUE(sink.AddRow(cells, -1));
}

size_t FileCount(const CTempDir& dir)
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.Path()),
                                             std::filesystem::directory_iterator()));
}

} // namespace

TEST(SqliteRowSink, TheShellFindsEveryCellWholeAsTextUnderUniqueNames)
{
    if (!HaveSqlite3())
        GTEST_SKIP() << "the sqlite3 shell is not available";
    const CTempDir dir;
    const std::string strPath = dir.File("awkward.sqlite");
    CString strError;
    ASSERT_EQ(CListExporter().SaveToFile(strPath, ESaveFormat::Sqlite, *awkward::List(),
                                         "KorvaneData", strError),
              1)
        << strError;
    CRows expected = awkward::RepairedRows();
    expected.insert(
        expected.begin(),
        {"Name", "Time", "Date", " Start-Date ", "Column 5", "Notes", "Name_2", "name_3"});
    EXPECT_EQ(DumpRows(ReadSqliteTable(strPath, "KorvaneData")), DumpRows(expected));
    EXPECT_EQ(QuerySqlite(strPath, "SELECT DISTINCT type FROM pragma_table_info('KorvaneData')"),
              "TEXT\n");
    EXPECT_EQ(QuerySqlite(strPath,
                          "SELECT count(*) FROM KorvaneData WHERE \"Column 5\" IS NULL "
                          "OR typeof(Name) <> 'text'"),
              "0\n");
}

TEST(SqliteRowSink, ADatabaseKeepsItsOtherTablesAndABrokenOffSaveChangesNothing)
{
    if (!HaveSqlite3())
        GTEST_SKIP() << "the sqlite3 shell is not available";
    const CTempDir dir;
    const std::string strDb = dir.File("kept.db");
    QuerySqlite(strDb,
                "CREATE TABLE Other (x); INSERT INTO Other VALUES (42); "
                "CREATE TABLE korvanedata (old); INSERT INTO korvanedata VALUES ('old')");
    const auto pList = MakeList({{"a"}, {"b"}}, {{"1", "2"}});
    CString strError;
    ASSERT_EQ(
        CListExporter().SaveToFile(strDb, ESaveFormat::Sqlite, *pList, "KorvaneData", strError), 1)
        << strError;
    const std::string strTables = "SELECT group_concat(name, ' ') FROM sqlite_schema";
    EXPECT_EQ(QuerySqlite(strDb, strTables), "Other KorvaneData\n");
    EXPECT_EQ(QuerySqlite(strDb, "SELECT * FROM Other; SELECT * FROM KorvaneData"), "42\n1|2\n");

    BreakOffSave(strDb);
    EXPECT_EQ(QuerySqlite(strDb, strTables), "Other KorvaneData\n");
    EXPECT_EQ(QuerySqlite(strDb, "SELECT * FROM KorvaneData"), "1|2\n");
    EXPECT_EQ(FileCount(dir), 1u);

    // A file that is no database is replaced whole, and only by a complete
    // one.
    const std::string strText = dir.Write("notes.db", "keep me");
    BreakOffSave(strText);
    EXPECT_EQ(CTempDir::Read(strText), "keep me");
    EXPECT_EQ(FileCount(dir), 2u);
    ASSERT_EQ(
        CListExporter().SaveToFile(strText, ESaveFormat::Sqlite, *pList, "KorvaneData", strError),
        1)
        << strError;
    EXPECT_EQ(QuerySqlite(strText, strTables + "; SELECT * FROM KorvaneData"),
              "KorvaneData\n1|2\n");
    EXPECT_EQ(FileCount(dir), 2u);
}

TEST(SqliteRowSink, FailuresNameTheFileAndTheReason)
{
    const CTempDir dir;
    const auto pList = MakeList({{"a"}}, {{"1"}});
    CString strError;
    const std::string strMissing = dir.File("missing/x.sqlite");
    EXPECT_EQ(CListExporter().SaveToFile(strMissing, ESaveFormat::Sqlite, *pList, "KorvaneData",
                                         strError),
              0);
    EXPECT_EQ(strError, "Cannot write \"" + strMissing + "\": No such file or directory");

    const std::string strNoColumns = dir.File("none.sqlite");
    EXPECT_EQ(CListExporter().SaveToFile(strNoColumns, ESaveFormat::Sqlite, *MakeList({}, {{}}),
                                         "KorvaneData", strError),
              0);
    EXPECT_EQ(strError, "Cannot write \"" + strNoColumns + "\": a table needs at least one column");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}
