#pragma once
// Reads .xls files back as their users do: with Debian's python3 and xlrd,
// and with LibreOffice converting them to CSV. The reading is done by
// read_xls.py beside this header; see there for the form of its output.

#include "Shell.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

inline bool HaveXlrd()
{
    return std::system("/usr/bin/python3 -c 'import xlrd' >/dev/null 2>&1") == 0;
}

inline bool HaveLibreOffice() { return std::system("command -v soffice >/dev/null 2>&1") == 0; }

// read_xls.py with a command and files; its error output comes along.
inline std::string RunReadXls(const std::string& strCommand, const std::vector<std::string>& args)
{
    std::string strLine = "/usr/bin/python3 " +
        ShellQuote(std::string(KORVANE_TEST_DATA_DIR) + "/../support/read_xls.py") + " " +
        strCommand;
    for (const std::string& arg : args)
        strLine += " " + ShellQuote(arg);
    return RunCommand(strLine + " 2>&1");
}

// The rows as read_xls.py prints them: backslash, tab, CR and LF escaped,
// empty cells at the end of a row and empty rows at the end left out.
inline std::string DumpRows(std::vector<std::vector<std::string>> rows)
{
    for (auto& row : rows) {
        while (!row.empty() && row.back().empty())
            row.pop_back();
    }
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    std::string out;
    for (const auto& row : rows) {
        for (size_t j = 0; j < row.size(); ++j) {
            if (j > 0)
                out += '\t';
            for (const char ch : row[j]) {
                switch (ch) {
                case '\\':
                    out += "\\\\";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                default:
                    out += ch;
                }
            }
        }
        out += '\n';
    }
    return out;
}

// Converts the files to UTF-8 CSV in strOutDir with one LibreOffice run;
// returns the paths of the CSV files, in the order of the files.
inline std::vector<std::string> ConvertToCsv(const std::vector<std::string>& files,
                                             const std::string& strOutDir)
{
    const std::string strProfile = strOutDir + "/lo-profile";
    std::string strLine = "soffice --headless -env:UserInstallation=file://" + strProfile +
        " --convert-to " + ShellQuote("csv:Text - txt - csv (StarCalc):44,34,76,1") + " --outdir " +
        ShellQuote(strOutDir);
    std::vector<std::string> csvFiles;
    for (const std::string& file : files) {
        strLine += " " + ShellQuote(file);
        csvFiles.push_back(
            strOutDir + "/" +
            std::filesystem::path(file).replace_extension(".csv").filename().string());
    }
    RunCommand(strLine + " >/dev/null 2>&1");
    std::filesystem::remove_all(strProfile);
    return csvFiles;
}
