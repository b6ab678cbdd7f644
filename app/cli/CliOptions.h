#pragma once
// The options of korvane-cli: one table gives their names, values, defaults
// and help lines, from which the arguments are read and --help is written.

#include "engine/ParseCommand.h"
#include "framework/StringTypes.h"

#include <string>
#include <vector>

struct CCliOptions
{
    CString strTemplatePath; // "-" for standard input
    CString strDataPath;     // "-" for standard input
    CParseSettings settings = DefaultParseSettings();
    CString strOutput; // empty or "-" for standard output
    CString strFormat; // upper case, or empty
    bool bHeader = false;
    bool bReplace = false;
    CString strReport; // "", "text" or "json"
    bool bStrict = false;
    bool bHelp = false;
    bool bVersion = false;

    bool ToStandardOutput() const { return strOutput.empty() || strOutput == "-"; }
};

// Fills options from args (without the program name); false with strError
// set on a usage error.
bool ParseCliArgs(const std::vector<std::string>& args, CCliOptions& options, CString& strError);

// The usage lines, for usage errors.
const char* CliUsage();
// The whole help: usage, one line per option with its default, the formats
// and their keys, the exit statuses and examples.
CString CliHelp();
// The program name and version.
CString CliVersion();
