// korvane-cli writes .xlsx, SQLite and JSON while it parses; Save As writes
// them from the list the window fills. Both must give what a reader finds
// the same: the same bytes for JSON and JSON Lines, the same cells for the
// workbook and the table.
#include "cli/KorvaneCli.h"

#include "CliRun.h"
#include "support/FormatReaders.h"
#include "support/RandomParseCase.h"
#include "support/TempDir.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "export/ListExporter.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

namespace {

// What a reader finds in a file of the format: the bytes of JSON, the
// cells of a workbook or a table.
std::string ReadBack(ESaveFormat format, const std::string& strPath)
{
    switch (format) {
    case ESaveFormat::Xlsx:
        return RunReadFormats("xlsx", strPath);
    case ESaveFormat::Sqlite:
        return DumpRows(ReadSqliteTable(strPath, "KorvaneData"));
    default:
        return CTempDir::Read(strPath);
    }
}

// Save As of the list and korvane-cli on the files, in the format; the
// failure names the case.
void ExpectSameAsSaveAs(const CListCtrl& list, const std::vector<std::string>& args,
                        ESaveFormat format, const CTempDir& dir, const std::string& strCase)
{
    const std::string strExt = SaveFormatInfo(format).pszExtension;
    const std::string strExpected = dir.File("list." + strExt);
    const std::string strActual = dir.File("cli." + strExt);
    CString strError;
    const int nSaved =
        CListExporter().SaveToFile(strExpected, format, list, "KorvaneData", strError);
    std::vector<std::string> cliArgs = args;
    cliArgs.insert(cliArgs.end(), {"-o", strActual});
    const CCliRun run = RunTool(cliArgs);
    if (format == ESaveFormat::Sqlite && list.GetColumnCount() == 0) {
        // A table without columns cannot be made: both refuse it alike.
        EXPECT_EQ(nSaved, 0);
        EXPECT_EQ(run.nStatus, 1);
        EXPECT_EQ(run.strErr,
                  "korvane-cli: Cannot write \"" + strActual +
                      "\": a table needs at least one column\n");
        EXPECT_FALSE(std::filesystem::exists(strActual));
        return;
    }
    ASSERT_EQ(nSaved, 1) << strError;
    ASSERT_EQ(run.nStatus, 0) << strCase << run.strErr;
    const std::string strRead = ReadBack(format, strActual);
    if (format == ESaveFormat::Xlsx) {
        EXPECT_EQ(strRead.rfind("sheet KorvaneData", 0), 0u) << strRead.substr(0, 2000);
    }
    EXPECT_TRUE(strRead == ReadBack(format, strExpected)) << strCase << ", " << strExt << ":\n"
                                                          << strRead.substr(0, 2000);
    std::remove(strExpected.c_str());
    std::remove(strActual.c_str());
}

} // namespace

TEST(OpenFormatsCli, WhatSaveAsWritesForTheParsedList)
{
    if (!HaveSqlite3() || !HaveOpenpyxl())
        GTEST_SKIP() << "the sqlite3 shell or /usr/bin/python3 with openpyxl is not available";
    CParseCaseGenerator generator(41);
    const CTempDir dir;
    for (int i = 0; i < 60 && !HasFailure(); ++i) {
        const CParseCase c = generator.Next();
        const CCaseFiles files = WriteCaseFiles(dir, c, 1 + i % 30);
        CString strTemplate;
        CString strText;
        CLineArray::LoadJoined(files.strTemplatePath, "\r\n", strTemplate, nullptr);
        CLineArray::LoadJoined(files.strDataPath, "\r\n", strText, nullptr);
        const CParseSettings settings{c.strStart, c.strEnd, c.strAllowed, CrClOf(c.strLineBreak)};
        CListCtrl list;
        InitResultList(list);
        CString strLast;
        RunParse(list, settings, strTemplate, strText, strLast);
        // Python starts slowly: a workbook for every tenth case.
        for (const ESaveFormat format :
             {ESaveFormat::Json, ESaveFormat::Jsonl, ESaveFormat::Sqlite, ESaveFormat::Xlsx}) {
            if (format != ESaveFormat::Xlsx || i % 10 == 0)
                ExpectSameAsSaveAs(list, files.args, format, dir,
                                   "case " + std::to_string(i) + ": " + Describe(c));
        }
    }
}

TEST(OpenFormatsCli, ALargeFileReadInPieces)
{
    if (!HaveSqlite3())
        GTEST_SKIP() << "the sqlite3 shell is not available";
    // Several pieces of the file, parsed apart: records whose first field is
    // missing, cells JSON must escape and a Windows-1252 byte.
    const CTempDir dir;
    const CCaseFiles files = WriteLargeCaseFiles(dir, ", \"x\\");
    CListCtrl list;
    ASSERT_NO_FATAL_FAILURE(ParseWithDefaults(files, list));
    ASSERT_GT(list.GetItemCount(), 20000);
    // The workbook takes its rows as the table does.
    for (const ESaveFormat format : {ESaveFormat::Json, ESaveFormat::Jsonl, ESaveFormat::Sqlite})
        ExpectSameAsSaveAs(list, files.args, format, dir, "large file");
}

TEST(OpenFormatsCli, ChoiceOfFormatAndOutput)
{
    const CTempDir dir;
    const std::string strTemplate = dir.Write("t.txt", "Name: <$$name$$>\r\nAge: <$$age$$>\r\n");
    const std::string strData = dir.Write("d.txt", "Name: Ann\r\nAge: 31\r\nName: Bob\r\n");
    const std::vector<std::string> base = {"--template", strTemplate, "--data", strData};
    const auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), base.begin(), base.end());
        return RunTool(extra);
    };
    const char* const pszArray =
        "[\n{\"name\":\"Ann\",\"age\":\"31\"},\n{\"name\":\"Bob\",\"age\":\"\"}\n]\n";
    const char* const pszLines =
        "{\"name\":\"Ann\",\"age\":\"31\"}\n{\"name\":\"Bob\",\"age\":\"\"}\n";

    // JSON streams to standard output; the extension or --format chooses.
    EXPECT_EQ(with({"--format", "json"}).strOut, pszArray);
    EXPECT_EQ(with({"--format", "JSONL"}).strOut, pszLines);
    EXPECT_EQ(with({"-o", dir.File("a.JSONL")}).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(dir.File("a.JSONL")), pszLines);
    EXPECT_EQ(with({"-o", dir.File("a.out"), "--format", "json"}).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(dir.File("a.out")), pszArray);
    EXPECT_EQ(with({"-o", dir.File("a.db")}).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(dir.File("a.db")).substr(0, 16), std::string("SQLite format 3\0", 16));
    EXPECT_EQ(with({"-o", dir.File("a.xlsx")}).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(dir.File("a.xlsx")).substr(0, 2), "PK");

    // A workbook or a database needs a file; none takes --header.
    for (const char* pszFormat : {"XLSX", "SQLITE"}) {
        const CCliRun run = with({"--format", pszFormat});
        EXPECT_EQ(run.nStatus, 2);
        EXPECT_EQ(run.strErr.substr(0, run.strErr.find('\n')),
                  "korvane-cli: the " + std::string(pszFormat) + " format needs -o FILE");
    }
    for (const char* pszFormat : {"XLSX", "SQLITE", "JSON", "JSONL"}) {
        const CCliRun run = with({"--header", "--format", pszFormat, "-o", dir.File("h")});
        EXPECT_EQ(run.nStatus, 2) << pszFormat;
        EXPECT_FALSE(std::filesystem::exists(dir.File("h")));
    }
}
