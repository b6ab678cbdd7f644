#include "drivers/BiffWorkbookWriter.h"
#include "drivers/StandInDriver.h"

#include "support/TempDir.h"
#include "support/XlsReaders.h"
#include "framework/Database.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace {

const char* const kDriver = "Microsoft Excel Driver (*.xls)";

std::unique_ptr<CStandInDriver> Connected(const std::string& strPath)
{
    auto pDriver = CStandInDriver::Find("Excel Driver (*.xls)");
    EXPECT_NE(pDriver, nullptr);
    EXPECT_EQ(pDriver->GetName(), kDriver);
    pDriver->Connect("DRIVER={" + std::string(kDriver) + "};DSN='';READONLY=FALSE;DBQ=" + strPath);
    return pDriver;
}

// Points TMPDIR at a folder of the test's own while it lives.
class CTmpDirVariable
{
public:
    explicit CTmpDirVariable(const std::string& strPath)
    {
        if (const char* pszOld = std::getenv("TMPDIR"))
            m_strOld = pszOld;
        ::setenv("TMPDIR", strPath.c_str(), 1);
    }
    ~CTmpDirVariable()
    {
        if (m_strOld.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_strOld.c_str(), 1);
    }
    CTmpDirVariable(const CTmpDirVariable&) = delete;
    CTmpDirVariable& operator=(const CTmpDirVariable&) = delete;

private:
    std::string m_strOld;
};

bool IsEmptyFolder(const std::string& strPath) { return std::filesystem::is_empty(strPath); }

} // namespace

TEST(ExcelStandIn, SheetNamesAreMadeValid)
{
    const std::pair<std::string, std::string> cases[] = {
        {"KorvaneData", "KorvaneData"},
        {"a[b]c:d*e?f/g\\h", "a_b_c_d_e_f_g_h"},
        {"'quoted'", "_quoted_"},
        {"tab\there", "tab_here"},
        {"", "Sheet1"},
        {std::string(40, 'x'), std::string(31, 'x')},
        // A letter outside the basic plane takes two of the 31 units.
        {std::string(30, 'x') + "\xF0\x9F\x98\x80", std::string(30, 'x')},
        {"caf\xC3\xA9\xFF", "caf\xC3\xA9_"},
    };
    for (const auto& [strName, strSheet] : cases)
        EXPECT_EQ(CBiffWorkbookWriter::MakeSheetName(strName), strSheet) << strName;
}

TEST(ExcelStandIn, TheTableBecomesASheetOfTextCells)
{
    if (!HaveXlrd())
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not available";
    CTempDir dir;
    const CTmpDirVariable tmp(dir.File(""));
    const std::string strPath = dir.File("t.xls");
    auto pDriver = CStandInDriver::Find(kDriver);
    ASSERT_NE(pDriver, nullptr);
    // The attribute list creates an empty workbook.
    std::string strAttributes = "CREATE_DB=\"" + strPath + "\"";
    strAttributes.push_back('\0');
    ASSERT_TRUE(pDriver->ConfigDataSource(strAttributes.c_str()));
    EXPECT_EQ(RunReadXls("cells", {strPath}), "file " + strPath + "\nsheet Sheet1\n");

    pDriver = Connected(strPath);
    pDriver->ExecuteSQL("create table [Data: 2024/03]([A] char (255),[Date_Time] char (255),"
                        "[\xE5\x90\x8D\xE5\x89\x8D] char (255))");
    pDriver->ExecuteSQL(
        "insert into [Data: 2024/03] (A,Date_Time,\xE5\x90\x8D\xE5\x89\x8D) "
        "values ('it''s','caf\xC3\xA9','\xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80')");
    pDriver->ExecuteSQL("insert into [Data: 2024/03] (A,Date_Time,\xE5\x90\x8D\xE5\x89\x8D) "
                        "values ('','<&> \"q\", x','')");
    pDriver->ExecuteSQL("insert into [Data: 2024/03] (A,Date_Time,\xE5\x90\x8D\xE5\x89\x8D) "
                        "values ('" +
                        std::string(255, 'v') + "','','')");
    pDriver->Close();
    EXPECT_EQ(RunReadXls("cells", {strPath}),
              "file " + strPath + "\nsheet Data_ 2024_03\n" +
                  "A\tDate_Time\t\xE5\x90\x8D\xE5\x89\x8D\n"
                  "it's\tcaf\xC3\xA9\t\xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x98\x80\n"
                  "\t<&> \"q\", x\n" +
                  std::string(255, 'v') + "\n");
    // The spool file never had a name there.
    std::filesystem::remove(strPath);
    EXPECT_TRUE(IsEmptyFolder(dir.File("")));
}

TEST(ExcelStandIn, ASheetHoldsAtMost65536RowsAnd256Columns)
{
    CTempDir dir;
    const CTmpDirVariable tmp(dir.File(""));
    auto pDriver = Connected(dir.File("rows.xls"));
    pDriver->ExecuteSQL("create table [T]([a] char (255))");
    for (int i = 1; i < 65536; ++i)
        pDriver->ExecuteSQL("insert into [T] (a) values ('" + std::to_string(i) + "')");
    try {
        pDriver->ExecuteSQL("insert into [T] (a) values ('one too many')");
        ADD_FAILURE() << "row 65,537 was taken";
    } catch (const CDatabaseException& e) {
        EXPECT_NE(e.GetErrorMessage().find("at most 65,536 rows"), CString::npos);
        EXPECT_NE(e.GetErrorMessage().find(".csv"), CString::npos);
    }
    pDriver.reset();
    EXPECT_TRUE(IsEmptyFolder(dir.File("")));

    pDriver = Connected(dir.File("columns.xls"));
    std::string strCreate = "create table [T](";
    for (int j = 0; j < 257; ++j)
        strCreate += "[c" + std::to_string(j) + "] char (255)" + (j < 256 ? "," : ")");
    EXPECT_THROW(pDriver->ExecuteSQL(strCreate), CDatabaseException);
}

TEST(ExcelStandIn, AFailedWriteNamesTheFileAndTheReason)
{
    CTempDir dir;
    const CTmpDirVariable tmp(dir.File(""));
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/full", "No space left on device"},
        {dir.File("missing/t.xls"), "No such file or directory"},
    };
    for (const auto& [strPath, strReason] : cases) {
        struct stat st
        {};
        if (strPath == "/dev/full" && ::stat(strPath.c_str(), &st) != 0)
            continue;
        auto pDriver = Connected(strPath);
        pDriver->ExecuteSQL("create table [T]([a] char (255))");
        pDriver->ExecuteSQL("insert into [T] (a) values ('x')");
        try {
            pDriver->Close();
            ADD_FAILURE() << strPath << " was written";
        } catch (const CDatabaseException& e) {
            EXPECT_NE(e.GetErrorMessage().find("\"" + strPath + "\""), CString::npos)
                << e.GetErrorMessage();
            EXPECT_NE(e.GetErrorMessage().find(strReason), CString::npos) << e.GetErrorMessage();
        }
    }
    // Only a regular file is emptied after a failure.
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}
