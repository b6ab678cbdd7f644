#include "export/OdbcExport.h"

#include "support/ListBuilder.h"
#include "support/SqliteQuery.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"
#include "framework/Database.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace {

// Points TMPDIR at a folder of its own while it lives, so a test can see
// what an export leaves in the temporary folder.
class CTempFolder
{
public:
    explicit CTempFolder(const std::string& strPath)
    {
        const char* pszOld = std::getenv("TMPDIR");
        m_bHadOld = pszOld != nullptr;
        if (m_bHadOld)
            m_strOld = pszOld;
        ::setenv("TMPDIR", strPath.c_str(), 1);
    }
    ~CTempFolder()
    {
        if (m_bHadOld)
            ::setenv("TMPDIR", m_strOld.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

private:
    bool m_bHadOld = false;
    std::string m_strOld;
};

size_t FileCount(const std::filesystem::path& dir)
{
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        (void)entry;
        ++n;
    }
    return n;
}

#ifdef KORVANE_TEST_ODBC
constexpr bool kHaveTestDriver = true;
#else
constexpr bool kHaveTestDriver = false;
#endif

class OdbcExportEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!kHaveTestDriver || !HaveSqlite3())
            GTEST_SKIP() << "the test ODBC driver or sqlite3 is not available";
        std::filesystem::create_directory(m_dir.File("tmp"));
        m_pTempFolder = std::make_unique<CTempFolder>(m_dir.File("tmp"));
    }
    void TearDown() override { m_pTempFolder.reset(); }

    CTempDir m_dir;
    std::unique_ptr<CTempFolder> m_pTempFolder;
};

} // namespace

TEST(OdbcExport, StatementsOfTheDocumentedExample)
{
    const auto list = MakeList({{"Name"}, {"Date"}, {"E-mail Address"}}, {{"x", "it's", "42"}});
    const COdbcExport exporter;
    const CStringArray columns = COdbcExport::MakeColumnNames(*list);
    EXPECT_EQ(exporter.MakeCreateTable("KorvaneData", columns),
              "create table [KorvaneData]([Name] char (255),[Date_Time] char (255),"
              "[E_mail_Address] char (255))");
    EXPECT_EQ(
        exporter.MakeInsert("KorvaneData", columns, *list, 0),
        "insert into [KorvaneData] (Name,Date_Time,E_mail_Address) values ('x','it''s','42')");
    // A percent sign is just a character in these texts.
    const auto percent = MakeList({{"100%s"}}, {{"%d"}});
    EXPECT_EQ(exporter.MakeInsert("T", COdbcExport::MakeColumnNames(*percent), *percent, 0),
              "insert into [T] (100%s) values ('%d')");
}

TEST(OdbcExport, ColumnNamesFromCaptions)
{
    const std::pair<const char*, const char*> cases[] = {
        {"  Start-Date \t", "Start_Date"},
        {"Time", "Date_Time"},
        {"Date", "Date_Time"},
        {"time", "time"},
        {"TIME", "TIME"},
        {" Date ", "Date_Time"},
        {"Date Time", "Date_Time"},
        {"a - b", "a___b"},
        {"", ""},
    };
    for (const auto& [pszCaption, pszName] : cases)
        EXPECT_EQ(COdbcExport::MakeColumnName(pszCaption), pszName) << pszCaption;
    const auto list = MakeList({{std::string(300, 'c')}}, {});
    EXPECT_EQ(COdbcExport::MakeColumnNames(*list)[0], std::string(255, 'c'));
}

TEST(OdbcExport, ValuesFromCells)
{
    const std::pair<std::string, std::string> cases[] = {
        {"it's", "it''s"},
        {"''", "''''"},
        {"a\tb\r\nc", "a b  c"},
        {"  padded  ", "padded"},
        {"\x01\x7F x", "x"},
        // Well-formed UTF-8 stays; broken sequences become blanks.
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
        {"a\xFF"
         "b\xC3",
         "a b"},
    };
    for (const auto& [cell, value] : cases)
        EXPECT_EQ(COdbcExport::MakeValue(cell), value) << cell;

    CString quotes = "'a'b''";
    COdbcExport::EscapeQuotes(quotes);
    EXPECT_EQ(quotes, "''a''b''''");

    // The list read stops at 255 bytes.
    const auto list = MakeList({{"c"}}, {{std::string(300, 'v')}});
    EXPECT_EQ(COdbcExport().MakeInsert("T", {"c"}, *list, 0),
              "insert into [T] (c) values ('" + std::string(255, 'v') + "')");
}

TEST(OdbcExport, NoMatchingDriverSaysSo)
{
    CTempDir dir;
    const CTempFolder temp(dir.Path().string());
    const auto list = MakeList({{"a"}}, {{"x"}});
    CString strError;
    EXPECT_EQ(COdbcExport().Export("T", dir.File("out.xls"), *list, "No Such Driver (*.none)",
                                   ".xls", strError),
              0);
    EXPECT_EQ(strError, "No ODBC driver matching \"No Such Driver (*.none)\" is installed.");
    EXPECT_EQ(FileCount(dir.Path()), 0u);
}

TEST_F(OdbcExportEndToEnd, FindDriverMatchesPartOfTheName)
{
    const COdbcExport exporter;
    EXPECT_EQ(exporter.FindDriver("Microsoft Excel Driver (*.xls)"),
              "Microsoft Excel Driver (*.xls) (Korvane test)");
    EXPECT_EQ(exporter.FindDriver("(*.mdb)"), "Microsoft Access Driver (*.mdb) (Korvane test)");
    EXPECT_EQ(exporter.FindDriver("microsoft excel driver"), "");
    EXPECT_EQ(exporter.FindDriver("Paradox"), "");
}

TEST_F(OdbcExportEndToEnd, SaveAsXlsAndMdbStoreEveryRow)
{
    const auto list = MakeList({{" Name "}, {"Start-Date"}, {"E-mail Address"}},
                               {{"Ann", "2024-03-11", "ann@example.com"},
                                {"O'Brien", "", "tab\there"},
                                {"Ren\xC3\xA9"
                                 "e",
                                 "  x  ", "line\r\nbreak"}});
    const CListExporter exporter;
    for (const ESaveFormat format : {ESaveFormat::Xls, ESaveFormat::Mdb}) {
        const std::string path = m_dir.File(std::string("out.") + FormatKey(format));
        CString strError;
        ASSERT_EQ(exporter.SaveToFile(path, format, *list, "KorvaneData", strError), 1) << strError;
        EXPECT_EQ(QuerySqlite(path, "select * from KorvaneData"),
                  "Ann|2024-03-11|ann@example.com\n"
                  "O'Brien||tab here\n"
                  "Ren\xC3\xA9"
                  "e|x|line  break\n");
        EXPECT_EQ(QuerySqlite(path,
                              "select group_concat(name, ',') from "
                              "pragma_table_info('KorvaneData')"),
                  "Name,Start_Date,E_mail_Address\n");
        EXPECT_EQ(FileCount(m_dir.File("tmp")), 0u);
    }
}

TEST_F(OdbcExportEndToEnd, EmptyListGivesATableWithoutRecords)
{
    const auto list = MakeList({{"a"}, {"b"}}, {});
    CString strError;
    const std::string path = m_dir.File("empty.xls");
    ASSERT_EQ(COdbcExport().ExportExcel("KorvaneData", path, *list, strError), 1) << strError;
    EXPECT_EQ(QuerySqlite(path, "select count(*) from KorvaneData"), "0\n");
}

TEST_F(OdbcExportEndToEnd, TheFinishedFileReplacesAnExistingOne)
{
    const std::string path = m_dir.Write("old.mdb", "not a database");
    ::chmod(path.c_str(), 0640);
    const auto list = MakeList({{"a"}}, {{"new"}});
    CString strError;
    ASSERT_EQ(COdbcExport().ExportAccess("KorvaneData", path, *list, strError), 1) << strError;
    EXPECT_EQ(QuerySqlite(path, "select * from KorvaneData"), "new\n");
    EXPECT_EQ(FileCount(m_dir.File("tmp")), 0u);
}

TEST_F(OdbcExportEndToEnd, RefusedStatementLeavesNothingBehind)
{
    const auto list = MakeList({{"Time"}, {"Date"}}, {{"09:00", "2024-01-01"}});
    const std::string fresh = m_dir.File("fresh.xls");
    const std::string existing = m_dir.Write("existing.xls", "keep me");
    for (const std::string& path : {fresh, existing}) {
        CString strError;
        try {
            COdbcExport().ExportExcel("KorvaneData", path, *list, strError);
            ADD_FAILURE() << "the doubled column was accepted";
        } catch (const CDatabaseException& e) {
            EXPECT_NE(e.GetErrorMessage().find("duplicate column name: Date_Time"), CString::npos)
                << e.GetErrorMessage();
            EXPECT_EQ(e.GetSqlState(), "HY000");
        }
        EXPECT_EQ(FileCount(m_dir.File("tmp")), 0u);
    }
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(CTempDir::Read(existing), "keep me");
}

TEST_F(OdbcExportEndToEnd, TemporaryFolderMayHoldDotTmpAndLieOnAnotherFileSystem)
{
    // A folder name holding ".tmp" must not be renamed along with the file.
    const std::string dotted = m_dir.File("tmp/x.tmp");
    std::filesystem::create_directory(dotted);
    const auto list = MakeList({{"a"}}, {{"v"}});
    {
        const CTempFolder temp(dotted);
        CString strError;
        ASSERT_EQ(COdbcExport().ExportExcel("T", m_dir.File("dotted.xls"), *list, strError), 1)
            << strError;
        EXPECT_EQ(FileCount(dotted), 0u);
    }
    EXPECT_EQ(QuerySqlite(m_dir.File("dotted.xls"), "select * from T"), "v\n");

    // Across file systems the file is copied into place.
    struct stat stShm
    {};
    struct stat stHere
    {};
    if (::stat("/dev/shm", &stShm) != 0 || ::stat(m_dir.Path().c_str(), &stHere) != 0 ||
        stShm.st_dev == stHere.st_dev)
        GTEST_SKIP() << "no second file system to move across";
    std::string strShm = "/dev/shm/korvane-test-XXXXXX";
    ASSERT_NE(::mkdtemp(strShm.data()), nullptr);
    {
        const CTempFolder temp(strShm);
        CString strError;
        EXPECT_EQ(COdbcExport().ExportExcel("T", m_dir.File("moved.xls"), *list, strError), 1)
            << strError;
        EXPECT_EQ(FileCount(strShm), 0u);
    }
    std::filesystem::remove_all(strShm);
    EXPECT_EQ(QuerySqlite(m_dir.File("moved.xls"), "select * from T"), "v\n");
}

TEST_F(OdbcExportEndToEnd, UnwritableTargetSaysWhyAndCleansUp)
{
    const auto list = MakeList({{"a"}}, {{"v"}});
    CString strError;
    const std::string path = m_dir.File("no/such/dir/out.xls");
    EXPECT_EQ(COdbcExport().ExportExcel("T", path, *list, strError), 0);
    EXPECT_NE(strError.find("\"" + path + "\""), CString::npos) << strError;
    EXPECT_NE(strError.find("No such file or directory"), CString::npos) << strError;
    EXPECT_EQ(FileCount(m_dir.File("tmp")), 0u);
}
