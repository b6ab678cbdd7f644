#pragma once
// korvane-cli run in the test's own process: its exit status and what it
// writes; and the files and command lines of the cases it is run on.

#include "cli/KorvaneCli.h"

#include "support/RandomParseCase.h"
#include "support/TempDir.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

struct CCliRun
{
    int nStatus = -1;
    std::string strOut;
    std::string strErr;
};

inline CCliRun RunTool(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    CCliRun run;
    run.nStatus = RunCli(args, out, err);
    run.strOut = out.str();
    run.strErr = err.str();
    return run;
}

// The command line's setting for the line-break text a case uses.
inline CString CrClOf(const CString& strLineBreak)
{
    if (strLineBreak == "\r\n")
        return "\\r\\n";
    if (strLineBreak == "\n")
        return "\\n";
    return strLineBreak;
}

// The template and data files of a case, its data written nRepeats times
// over, and the command line that parses them with the case's settings.
struct CCaseFiles
{
    std::string strTemplatePath;
    std::string strDataPath;
    std::vector<std::string> args;
};

inline CCaseFiles WriteCaseFiles(const CTempDir& dir, const CParseCase& c, int nRepeats)
{
    std::string strData;
    for (int r = 0; r < nRepeats; ++r)
        strData += c.strData;
    CCaseFiles files;
    files.strTemplatePath = dir.Write("t.txt", c.strTemplate);
    files.strDataPath = dir.Write("d.txt", strData);
    files.args = {"--template", files.strTemplatePath, "--data", files.strDataPath, "--start-tag",
                  c.strStart,   "--end-tag",           c.strEnd, "--allowed-chars", c.strAllowed,
                  "--crcl",     CrClOf(c.strLineBreak)};
    return files;
}

// A data file large enough to be read in several pieces, and its template:
// records whose first field is missing, strMark after the name of two
// records in three, and a Windows-1252 byte.
inline CCaseFiles WriteLargeCaseFiles(const CTempDir& dir, const std::string& strMark)
{
    CCaseFiles files;
    files.strTemplatePath =
        dir.Write("large-t.txt", "Name: <$$name{$$^\t$$}$$>\r\nAge: <$$age$$>\r\n--\r\n");
    std::string strData;
    for (int i = 0; strData.size() < (size_t{3} << 19); ++i) {
        strData += i % 97 == 5
            ? "Name:\r\n"
            : "Name: " + std::to_string(i) + (i % 3 ? strMark : std::string()) + "\r\n";
        strData += "Age: " + std::to_string(i % 90) + "\r\n--\r\n";
    }
    strData += "Name: caf\xE9\r\nAge: 1\r\n";
    files.strDataPath = dir.Write("large-d.txt", strData);
    files.args = {"--template", files.strTemplatePath, "--data", files.strDataPath};
    return files;
}

// The list after Parse Data of the files with the default settings.
inline void ParseWithDefaults(const CCaseFiles& files, CListCtrl& list)
{
    CString strText;
    ASSERT_TRUE(CLineArray::LoadJoined(files.strDataPath, "\r\n", strText, nullptr));
    InitResultList(list);
    CString strLast;
    RunParse(list, DefaultParseSettings(), CTempDir::Read(files.strTemplatePath), strText, strLast);
}
