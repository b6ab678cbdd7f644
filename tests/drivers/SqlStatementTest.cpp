#include "drivers/SqlStatement.h"

#include <gtest/gtest.h>

TEST(SqlStatement, CreateTableNamesTheTableAndEveryColumnWhateverBytesTheyHold)
{
    CCreateTableStatement statement;
    ASSERT_TRUE(ParseCreateTable(
        "create table [KorvaneData]([E_mail] char (255),[a]b] char (255),[,(x)] char (255))",
        statement));
    EXPECT_EQ(statement.strTable, "KorvaneData");
    EXPECT_EQ(statement.columns, (std::vector<CString>{"E_mail", "a]b", ",(x)"}));

    ASSERT_TRUE(ParseCreateTable("create table [T]([] char (255))", statement));
    EXPECT_EQ(statement.columns, (std::vector<CString>{""}));

    for (const char* pszBad : {"create table [T]()", "create table T([A] char (255))",
                               "create table [T]([A] char (255)", "drop table [T]", ""})
        EXPECT_FALSE(ParseCreateTable(pszBad, statement)) << pszBad;
}

TEST(SqlStatement, InsertGivesTheValuesWithTheirApostrophesMadeSingle)
{
    CCreateTableStatement table;
    ASSERT_TRUE(ParseCreateTable("create table [T]([A] char (255),[B,C] char (255))", table));
    std::vector<CString> values;
    ASSERT_TRUE(
        ParseInsert("insert into [T] (A,B,C) values ('it''s','x'') values (''y')", table, values));
    EXPECT_EQ(values, (std::vector<CString>{"it's", "x') values ('y"}));
    ASSERT_TRUE(ParseInsert("insert into [T] (A,B,C) values ('','')", table, values));
    EXPECT_EQ(values, (std::vector<CString>{"", ""}));

    for (const char* pszBad :
         {"insert into [U] (A,B,C) values ('a','b')", "insert into [T] (A,B) values ('a','b')",
          "insert into [T] (A,B,C) values ('a','b'", "insert into [T] (A,B,C) values ('a,'b')",
          "insert into [T] (A,B,C) values ('a')x"})
        EXPECT_FALSE(ParseInsert(pszBad, table, values)) << pszBad;
}
