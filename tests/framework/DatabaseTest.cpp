#include "framework/Database.h"

#include "support/SqliteQuery.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(Database, UnknownDriverThrowsTheDriverManagersText)
{
    CDatabase database;
    try {
        database.OpenEx("DRIVER={No Such Driver};DBQ=/nonexistent", CDatabase::noOdbcDialog);
        ADD_FAILURE() << "the connection was made";
    } catch (const CDatabaseException& e) {
        EXPECT_NE(e.GetErrorMessage().find("[unixODBC][Driver Manager]"), CString::npos)
            << e.GetErrorMessage();
        EXPECT_NE(e.GetErrorMessage().find("No Such Driver"), CString::npos);
        EXPECT_EQ(e.GetSqlState().size(), 5u);
        // What the command dispatcher shows.
        EXPECT_STREQ(e.what(), e.GetErrorMessage().c_str());
    }
    EXPECT_FALSE(database.IsOpen());
    EXPECT_THROW(database.ExecuteSQL("select 1"), CDatabaseException);
    database.Close();
}

#ifdef KORVANE_TEST_ODBC
TEST(Database, StatementsRunAndRefusalsCarryTheDriversText)
{
    CTempDir dir;
    const std::string path = dir.Write("db.xls", "");
    CDatabase database;
    ASSERT_TRUE(database.OpenEx(
        "DRIVER={Microsoft Excel Driver (*.xls) (Korvane test)};DSN='';READONLY=FALSE;DBQ=" + path,
        CDatabase::noOdbcDialog));
    EXPECT_TRUE(database.IsOpen());
    database.ExecuteSQL("create table [T]([a] char (255))");
    database.ExecuteSQL("insert into [T] (a) values ('x')");
    // Touching no rows is not a failure.
    database.ExecuteSQL("delete from [T] where a = 'none'");
    try {
        database.ExecuteSQL("insert into [Missing] (a) values ('x')");
        ADD_FAILURE() << "the statement was accepted";
    } catch (const CDatabaseException& e) {
        EXPECT_NE(e.GetErrorMessage().find("no such table: Missing"), CString::npos)
            << e.GetErrorMessage();
    }
    // The connection stays usable after a refusal, and every statement has
    // committed by itself.
    database.ExecuteSQL("insert into [T] (a) values ('y')");
    if (HaveSqlite3()) {
        EXPECT_EQ(QuerySqlite(path, "select a from T"), "x\ny\n");
    }
    database.Close();
    EXPECT_FALSE(database.IsOpen());
}
#endif
