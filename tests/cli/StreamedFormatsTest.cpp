// korvane-cli writes every format while it parses; Save As writes it from
// the list the window fills. For random templates and data both give the
// same bytes, for every format that is written as bytes.
#include "cli/KorvaneCli.h"

#include "CliRun.h"
#include "support/PinnedClock.h"
#include "support/RandomParseCase.h"
#include "support/TempDir.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "engine/ParseResult.h"
#include "engine/TemplateMatcher.h"
#include "export/ListExporter.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

namespace {

// The list after Parse Data of the files' texts in a fresh window, by the
// plain road: the whole text walked on one thread, then the list filled.
void ParseIntoList(const CParseCase& c, const std::string& strTemplatePath,
                   const std::string& strDataPath, CListCtrl& list)
{
    CString strTemplate;
    CString strData;
    CLineArray::LoadJoined(strTemplatePath, "\r\n", strTemplate, nullptr);
    CLineArray::LoadJoined(strDataPath, "\r\n", strData, nullptr);
    InitResultList(list);
    CTemplateMatcher matcher;
    matcher.SetSettings(c.strStart, c.strEnd, c.strAllowed);
    CParseResult result;
    matcher.Parse(&result, strData, strTemplate, c.strLineBreak);
    result.FillList(list, !strTemplate.empty(), c.strStart, c.strEnd);
}

} // namespace

TEST(StreamedFormats, EveryFormatIsWhatSaveAsWritesForTheList)
{
    const CPinnedClock clock;
    CParseCaseGenerator generator(23);
    const CTempDir dir;
    const CListExporter exporter;
    int nMismatches = 0;
    for (int i = 0; i < 150 && nMismatches < 3; ++i) {
        const CParseCase c = generator.Next();
        const CCaseFiles files = WriteCaseFiles(dir, c, 1 + i % 40);
        CListCtrl list;
        ParseIntoList(c, files.strTemplatePath, files.strDataPath, list);
        for (const ESaveFormat format :
             {ESaveFormat::Txt, ESaveFormat::Csv, ESaveFormat::Xml, ESaveFormat::Html}) {
            const std::string strExt = CString(FormatKey(format));
            const std::string strExpected = dir.File("list." + strExt);
            const std::string strActual = dir.File("cli." + strExt);
            std::remove(strExpected.c_str());
            std::remove(strActual.c_str());
            CString strError;
            ASSERT_EQ(exporter.SaveToFile(strExpected, format, list, "KorvaneData", strError), 1)
                << strError;
            std::vector<std::string> args = files.args;
            args.insert(args.end(), {"-o", strActual});
            const CCliRun run = RunTool(args);
            if (run.nStatus != 0 || CTempDir::Read(strActual) != CTempDir::Read(strExpected)) {
                ++nMismatches;
                ADD_FAILURE() << "case " << i << ", " << strExt << ": " << Describe(c) << "\n"
                              << run.strErr << "expected:\n"
                              << CTempDir::Read(strExpected) << "\nwritten:\n"
                              << CTempDir::Read(strActual);
            }
        }
    }
    EXPECT_EQ(nMismatches, 0);
}
