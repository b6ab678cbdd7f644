#include "KorvaneCli.h"

#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "engine/StreamedParse.h"
#include "export/ListExporter.h"
#include "export/SaveFormat.h"
#include "framework/File.h"
#include "framework/Path.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

#include <memory>
#include <ostream>

namespace {

const char* const kUsage =
    "usage: korvane-cli --template FILE --data FILE [--start-tag TEXT] [--end-tag TEXT]\n"
    "                   [--allowed-chars TEXT] [--crcl TEXT] [-o FILE | --output FILE]\n"
    "                   [--format TXT|CSV|XLS|MDB|HTML|XML|XLSX|SQLITE|JSON|JSONL] [--header]\n";

struct CCliOptions
{
    CString strTemplatePath;
    CString strDataPath;
    CParseSettings settings = DefaultParseSettings();
    CString strOutput;
    CString strFormat;
    bool bHeader = false;
    bool bHelp = false;
};

// Standard output as a sink.
class COstreamSink final : public ISink
{
public:
    explicit COstreamSink(std::ostream& out) : m_out(out) {}
    bool Write(std::string_view bytes) override
    {
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(m_out);
    }
    CString GetError() const override { return "cannot write to standard output"; }

private:
    std::ostream& m_out;
};

// Fills options from args; false with strError set on a usage error.
bool ParseArgs(const std::vector<std::string>& args, CCliOptions& options, CString& strError)
{
    bool bHaveTemplate = false;
    bool bHaveData = false;
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
        if (strName == "--help" || strName == "-h") {
            options.bHelp = true;
            continue;
        }
        if (strName == "--header") {
            options.bHeader = true;
            continue;
        }
        CString* pTarget = nullptr;
        if (strName == "--template")
            pTarget = &options.strTemplatePath;
        else if (strName == "--data")
            pTarget = &options.strDataPath;
        else if (strName == "--start-tag")
            pTarget = &options.settings.strStartTag;
        else if (strName == "--end-tag")
            pTarget = &options.settings.strEndTag;
        else if (strName == "--allowed-chars")
            pTarget = &options.settings.strAllowedChars;
        else if (strName == "--crcl")
            pTarget = &options.settings.strCrCl;
        else if (strName == "-o" || strName == "--output")
            pTarget = &options.strOutput;
        else if (strName == "--format")
            pTarget = &options.strFormat;
        if (pTarget == nullptr) {
            strError = "unknown option '" + args[i] + "'";
            return false;
        }
        if (!bInlineValue) {
            if (i + 1 >= args.size()) {
                strError = "option '" + strName + "' needs a value";
                return false;
            }
            strValue = args[++i];
        }
        *pTarget = strValue;
        if (pTarget == &options.strTemplatePath)
            bHaveTemplate = true;
        if (pTarget == &options.strDataPath)
            bHaveData = true;
    }
    if (options.bHelp)
        return true;
    if (!bHaveTemplate || !bHaveData) {
        strError = "--template and --data are required";
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

// Loads a file as Load Template and Load Data do.
bool LoadText(const CString& strPath, CString& strText, CString& strError)
{
    return CLineArray::LoadJoined(strPath, "\r\n", strText, &strError);
}

// Every format goes out as the data file is parsed, so that a large file is
// never held whole. Files are written as Save As writes them (text with CR
// LF line ends, replaced only when complete); standard output gets tab and
// comma text with LF line ends.
int WriteStreamed(const CCliOptions& options, ESaveFormat format, std::ostream& out,
                  std::ostream& err)
{
    CString strTemplate;
    CString strError;
    if (!LoadText(options.strTemplatePath, strTemplate, strError)) {
        err << "korvane-cli: " << strError << "\n";
        return 1;
    }
    const bool bToFile = !options.strOutput.empty();
    COstreamSink stdoutSink(out);
    CExportTarget target;
    target.strPath = options.strOutput;
    target.pStream = bToFile ? nullptr : &stdoutSink;
    target.bHeader = options.bHeader;
    target.bSync = false;
    target.bCellsFromLines = true;
    target.strTableName = "KorvaneData";
    const std::unique_ptr<IRowSink> pSink = MakeFormatSink(format, target);

    const CStreamedParse parse(options.settings, strTemplate);
    bool bDone = false;
    try {
        bDone = parse.Run(options.strDataPath, *pSink, strError);
    } catch (const CUserException& e) {
        strError = e.GetErrorMessage();
    }
    out.flush();
    if (bDone && (bToFile || out))
        return 0;
    if (strError.empty())
        strError = bToFile ? "Cannot write \"" + options.strOutput + "\""
                           : CString("cannot write to standard output");
    err << "korvane-cli: " << strError << "\n";
    return 1;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CCliOptions options;
    CString strError;
    if (!ParseArgs(args, options, strError)) {
        err << "korvane-cli: " << strError << "\n" << kUsage;
        return 2;
    }
    if (options.bHelp) {
        out << kUsage;
        return 0;
    }

    ESaveFormat format = ESaveFormat::Txt;
    if (!options.strFormat.empty()) {
        format = FormatFromKey(options.strFormat);
    } else if (!options.strOutput.empty()) {
        // The extension decides, as in Save As; a name without one is text.
        CString strPath = options.strOutput;
        if (path::ExtensionDot(strPath) != CString::npos)
            format = ChooseSaveFormat(strPath, 1);
    }
    const CSaveFormatInfo& info = SaveFormatInfo(format);
    if (options.bHeader && !info.bHeaderOption) {
        err << "korvane-cli: --header is only for TXT and CSV output\n" << kUsage;
        return 2;
    }
    if (!info.bStreams && options.strOutput.empty()) {
        err << "korvane-cli: the " << FormatKey(format) << " format needs -o FILE\n" << kUsage;
        return 2;
    }
    return WriteStreamed(options, format, out, err);
}
