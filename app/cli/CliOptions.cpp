#include "CliOptions.h"

#include "export/SaveFormat.h"
#include "framework/ProductInfo.h"
#include "framework/StringUtil.h"

#include <iterator>

namespace {

const char* const kUsage =
    "usage: korvane-cli --template FILE --data FILE [--start-tag TEXT] [--end-tag TEXT]\n"
    "                   [--allowed-chars TEXT] [--crcl TEXT] [-o FILE | --output FILE]\n"
    "                   [--format KEY] [--header] [--replace] [--report[=json]] [--strict]\n"
    "       korvane-cli --help | --version\n";

enum class EKind { Value, Flag, OptionalValue };

// Stores an option's value; false, with strError set, when it is not one.
using FStore = bool (*)(CCliOptions& options, const CString& strValue, CString& strError);

struct COptionSpec
{
    const char* pszLong;
    const char* pszShort; // or null
    EKind kind;
    const char* pszValue; // the value's name in the help
    const char* pszHelp;
    FStore pStore;
};

#define KORVANE_SET(member)                                                                        \
    [](CCliOptions& o, const CString& v, CString&) {                                               \
        o.member = v;                                                                              \
        return true;                                                                               \
    }
#define KORVANE_FLAG(member)                                                                       \
    [](CCliOptions& o, const CString&, CString&) {                                                 \
        o.member = true;                                                                           \
        return true;                                                                               \
    }

bool StoreReport(CCliOptions& options, const CString& strValue, CString& strError)
{
    if (!strValue.empty() && strValue != "text" && strValue != "json") {
        strError = "--report takes text or json, not '" + strValue + "'";
        return false;
    }
    options.strReport = strValue.empty() ? CString("text") : strValue;
    return true;
}

const COptionSpec kOptions[] = {
    {"--template", nullptr, EKind::Value, "FILE",
     "the template file (required; - reads standard input)", KORVANE_SET(strTemplatePath)},
    {"--data", nullptr, EKind::Value, "FILE",
     "the data file (required; - reads standard input, as does a pipe)", KORVANE_SET(strDataPath)},
    {"--start-tag", nullptr, EKind::Value, "TEXT", "the placeholders' start tag (default <$$)",
     KORVANE_SET(settings.strStartTag)},
    {"--end-tag", nullptr, EKind::Value, "TEXT", "the placeholders' end tag (default $$>)",
     KORVANE_SET(settings.strEndTag)},
    {"--allowed-chars", nullptr, EKind::Value, "TEXT",
     "the characters a value may hold (default 0-9-a-z-A-Z-@-.-:-/-_)",
     KORVANE_SET(settings.strAllowedChars)},
    {"--crcl", nullptr, EKind::Value, "TEXT",
     "where the template is cut when field names are collected (default \\r\\n)",
     KORVANE_SET(settings.strCrCl)},
    {"--output", "-o", EKind::Value, "FILE",
     "write to FILE, replaced only when complete (default and -: standard output)",
     KORVANE_SET(strOutput)},
    {"--format", nullptr, EKind::Value, "KEY",
     "the output format (default: by the extension of -o, else TXT)", KORVANE_SET(strFormat)},
    {"--header", nullptr, EKind::Flag, nullptr, "put the column captions first (TXT and CSV)",
     KORVANE_FLAG(bHeader)},
    {"--replace", nullptr, EKind::Flag, nullptr,
     "start a new HTML report instead of adding to the one at -o", KORVANE_FLAG(bReplace)},
    {"--report", nullptr, EKind::OptionalValue, "json",
     "tell on standard error what the parse did (=json: as one JSON object)", &StoreReport},
    {"--strict", nullptr, EKind::Flag, nullptr,
     "exit 3 when the parse stopped before the end of the data or formed no row",
     KORVANE_FLAG(bStrict)},
    {"--help", "-h", EKind::Flag, nullptr, "show this help and exit", KORVANE_FLAG(bHelp)},
    {"--version", "-V", EKind::Flag, nullptr, "show the version and exit", KORVANE_FLAG(bVersion)},
};

#undef KORVANE_SET
#undef KORVANE_FLAG

const COptionSpec* FindOption(const CString& strName)
{
    for (const COptionSpec& option : kOptions) {
        if (strName == option.pszLong || (option.pszShort != nullptr && strName == option.pszShort))
            return &option;
    }
    return nullptr;
}

bool Check(CCliOptions& options, CString& strError)
{
    if (options.strTemplatePath.empty() || options.strDataPath.empty()) {
        strError = "--template and --data are required";
        return false;
    }
    if (options.strTemplatePath == "-" && options.strDataPath == "-") {
        strError = "--template and --data cannot both read standard input";
        return false;
    }
    if (!options.strFormat.empty()) {
        options.strFormat = str::ToUpper(options.strFormat);
        if (!IsFormatKey(options.strFormat)) {
            strError = "unknown format '" + options.strFormat + "'";
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseCliArgs(const std::vector<std::string>& args, CCliOptions& options, CString& strError)
{
    for (size_t i = 0; i < args.size(); ++i) {
        CString strName = args[i];
        CString strValue;
        bool bInlineValue = false;
        const size_t nEquals = strName.find('=');
        if (strName.rfind("--", 0) == 0 && nEquals != CString::npos) {
            strValue = strName.substr(nEquals + 1);
            strName = strName.substr(0, nEquals);
            bInlineValue = true;
        }
        const COptionSpec* pSpec = FindOption(strName);
        if (pSpec == nullptr) {
            strError = "unknown option '" + args[i] + "'";
            return false;
        }
        if (pSpec->kind == EKind::Flag && bInlineValue) {
            strError = "option '" + strName + "' takes no value";
            return false;
        }
        if (pSpec->kind == EKind::Value && !bInlineValue) {
            if (i + 1 >= args.size()) {
                strError = "option '" + strName + "' needs a value";
                return false;
            }
            strValue = args[++i];
        }
        if (!pSpec->pStore(options, strValue, strError))
            return false;
    }
    return options.bHelp || options.bVersion || Check(options, strError);
}

const char* CliUsage() { return kUsage; }

CString CliHelp()
{
    CString strHelp = kUsage;
    strHelp += "\nTurns text into a table: the template's lines mirror the lines of the data,\n"
               "with a placeholder such as <$$email$$> for each field.\n\nOptions:\n";
    for (const COptionSpec& option : kOptions) {
        CString strLeft = "  ";
        strLeft += option.pszShort != nullptr ? CString(option.pszShort) + ", " : CString("    ");
        strLeft += option.pszLong;
        if (option.kind == EKind::Value)
            strLeft += CString(" ") + option.pszValue;
        else if (option.kind == EKind::OptionalValue)
            strLeft += CString("[=") + option.pszValue + "]";
        // The help starts in one column, on the next line after a long name.
        constexpr size_t kHelpColumn = 26;
        if (strLeft.size() >= kHelpColumn)
            strLeft += "\n";
        strLeft.resize(strLeft.back() == '\n' ? strLeft.size() + kHelpColumn : kHelpColumn, ' ');
        strHelp += strLeft + option.pszHelp + "\n";
    }
    strHelp += "\nFormats (KEY, extension):\n";
    for (const CSaveFormatInfo& info : SaveFormats()) {
        CString strLine = CString("  ") + info.pszKey;
        strLine.resize(10, ' ');
        strLine += CString(".") + info.pszExtension;
        if (!info.bStreams) {
            strLine.resize(18, ' ');
            strLine += "(needs -o FILE)";
        }
        strHelp += strLine + "\n";
    }
    strHelp += "\nExit status: 0 success; 1 a file cannot be read or written; 2 a usage error;\n"
               "3 with --strict, the parse stopped before the end of the data or formed no row.\n"
               "\nExamples:\n"
               "  korvane-cli --template t.txt --data log.txt --header -o table.csv\n"
               "  journalctl -o short | korvane-cli --template t.txt --data - --report --strict\n";
    return strHelp;
}

CString CliVersion()
{
    return CString("korvane-cli (") + product::kName + ") " + product::kVersion + "\n";
}
