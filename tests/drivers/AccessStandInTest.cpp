#include "drivers/AccessStandIn.h"

#include "MdbTools.h"
#include "support/TempDir.h"
#include "framework/Database.h"

#include <gtest/gtest.h>

namespace {

std::string Quoted(const std::string& str)
{
    std::string out;
    for (const char ch : str)
        out += ch == '\'' ? std::string("''") : std::string(1, ch);
    return out;
}

// The statements of the export for a table T with these columns and rows.
void Feed(CStandInDriver& driver, const std::string& strPath,
          const std::vector<std::string>& columns,
          const std::vector<std::vector<std::string>>& rows)
{
    driver.Connect("DRIVER={" + driver.GetName() + "};DSN='';READONLY=FALSE;DBQ=" + strPath);
    std::string strCreate = "create table [T](";
    std::string strInsert = "insert into [T] (";
    for (size_t j = 0; j < columns.size(); ++j) {
        strCreate += "[" + columns[j] + "] char (255)" + (j + 1 < columns.size() ? "," : ")");
        strInsert += (j > 0 ? "," : "") + columns[j];
    }
    driver.ExecuteSQL(strCreate);
    for (const auto& row : rows) {
        std::string strSql = strInsert + ") values (";
        for (size_t j = 0; j < row.size(); ++j)
            strSql += "'" + Quoted(row[j]) + "'" + (j + 1 < row.size() ? "," : ")");
        driver.ExecuteSQL(strSql);
    }
}

// The text of the CDatabaseException that f throws, or "(none)".
template <class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const CDatabaseException& e) {
        return e.GetErrorMessage();
    }
    return "(none)";
}

class AccessStandIn : public CMdbToolsTest
{};

const std::string kRefusal = "[Microsoft Access Driver (*.mdb)] ";

} // namespace

TEST_F(AccessStandIn, CreateDbMakesAnEmptyDatabase)
{
    const std::string strPath = m_dir.File("empty.mdb");
    const std::string strAttributes = "CREATE_DB=\"" + strPath + "\"";
    EXPECT_TRUE(MakeAccessStandIn()->ConfigDataSource(strAttributes.c_str()));
    EXPECT_EQ(RunCapture("mdb-ver " + ShellQuote(strPath)), "JET4\n");
    EXPECT_EQ(RunCapture("mdb-tables -1 " + ShellQuote(strPath)), "");
    EXPECT_EQ(RunCapture("mdb-tables -1 -S " + ShellQuote(strPath)), "MSysObjects\n");
}

TEST_F(AccessStandIn, TwoHundredFiftyFiveColumnsWithLongNamesSpanDefinitionPages)
{
    std::vector<std::string> columns;
    std::vector<std::string> row;
    for (int j = 0; j < 255; ++j) {
        columns.push_back("column " + std::to_string(j) + std::string(150, 'n'));
        row.push_back("v" + std::to_string(j));
    }
    const std::string strPath = m_dir.File("wide.mdb");
    CAccessStandIn driver;
    Feed(driver, strPath, columns, {row, row});
    driver.Close();
    const std::string strSchema = RunCapture("mdb-schema " + ShellQuote(strPath));
    size_t nColumns = 0;
    for (size_t n = strSchema.find("n]\t\t\tText (255)"); n != std::string::npos;
         n = strSchema.find("n]\t\t\tText (255)", n + 1))
        ++nColumns;
    EXPECT_EQ(nColumns, 255u) << strSchema;
    EXPECT_NE(strSchema.find("[column 254nnn"), std::string::npos);
    EXPECT_EQ(MdbExportRows(strPath, "T"), (CRows{row, row}));

    columns.push_back("one too many");
    row.push_back("x");
    EXPECT_EQ(ErrorOf([&] { Feed(driver, m_dir.File("wider.mdb"), columns, {row}); }),
              kRefusal + "The table [T] cannot have 256 columns: an Access table has at most 255.");
}

TEST_F(AccessStandIn, WhatTheFileCannotHoldIsRefusedWithTheReason)
{
    const std::string strPath = m_dir.File("limits.mdb");
    // Eight pages: the header, the maps, the catalog's two, the table's
    // definition and three data pages of five rows each.
    CAccessStandIn small(8);
    const std::vector<std::string> full(3, std::string(255, 'x'));
    EXPECT_EQ(ErrorOf([&] {
                  Feed(small, strPath, {"a", "b", "c"}, std::vector(40, full));
              }),
              kRefusal +
                  "Row 16 does not fit: the database would grow past 32 KB, the most an Access "
                  "file can hold.");

    // A macron takes two bytes in any form: 17 values of 127 are too many.
    std::string strMacrons;
    for (int i = 0; i < 127; ++i)
        strMacrons += "\xC4\x81";
    CAccessStandIn driver;
    EXPECT_EQ(ErrorOf([&] {
                  Feed(driver, strPath, std::vector<std::string>(17, "c"), {}); // duplicates
              }),
              kRefusal + "The column [c] appears more than once in the table [T].");
    std::vector<std::string> columns;
    for (int j = 0; j < 17; ++j)
        columns.push_back("c" + std::to_string(j));
    EXPECT_EQ(ErrorOf([&] { Feed(driver, strPath, columns, {std::vector(17, strMacrons)}); }),
              kRefusal + "Row 1 takes 4361 bytes; a row of an Access table takes at most 4060.");
    EXPECT_EQ(ErrorOf([&] {
                  Feed(driver, strPath, {"a"}, {{"ok"}, {std::string(256, 'x')}});
              }),
              kRefusal +
                  "Row 2: the value of [a] is longer than the 255 characters of a Text column.");
    EXPECT_EQ(ErrorOf([&] {
                  Feed(driver, strPath, {"Date_Time", "date_time"}, {});
              }),
              kRefusal + "The column [date_time] appears more than once in the table [T].");
    EXPECT_EQ(ErrorOf([&] {
                  Feed(driver, strPath, {"a", ""}, {});
              }),
              kRefusal + "A column of the table [T] has no name.");
}

TEST_F(AccessStandIn, WriteFailuresNameTheFileAndTheReason)
{
    CAccessStandIn full;
    Feed(full, "/dev/full", {"a"}, {{"x"}});
    EXPECT_EQ(ErrorOf([&] { full.Close(); }),
              kRefusal + "Cannot write \"/dev/full\": No space left on device");

    // Full data pages go to a scratch file in the temporary folder.
    const std::string strMissing = m_dir.File("missing");
    const char* pszOld = std::getenv("TMPDIR");
    const std::string strOld = pszOld != nullptr ? pszOld : "";
    ::setenv("TMPDIR", strMissing.c_str(), 1);
    CAccessStandIn driver;
    const std::string strError = ErrorOf([&] {
        Feed(driver, m_dir.File("spill.mdb"), {"a"},
             std::vector(300, std::vector<std::string>{"x"}));
    });
    if (pszOld != nullptr)
        ::setenv("TMPDIR", strOld.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_EQ(strError,
              kRefusal + "Cannot create a temporary file in \"" + strMissing +
                  "\": No such file or directory");
}
