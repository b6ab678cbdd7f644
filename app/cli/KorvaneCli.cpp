#include "KorvaneCli.h"

#include "CliOptions.h"
#include "engine/LineArray.h"
#include "engine/ParseReport.h"
#include "engine/StreamedParse.h"
#include "export/SaveFormat.h"
#include "framework/File.h"
#include "framework/Messages.h"
#include "framework/Path.h"
#include "framework/Sink.h"
#include "framework/TempFile.h"
#include "framework/TestHook.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <new>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStrict = 3;
constexpr int kExitBrokenPipe = 128 + SIGPIPE;

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

// The format the options ask for: --format, else the extension of -o as
// Save As reads it (a name without one is text), else tab text.
ESaveFormat ChosenFormat(const CCliOptions& options)
{
    if (!options.strFormat.empty())
        return FormatFromKey(options.strFormat);
    if (!options.ToStandardOutput() && path::ExtensionDot(options.strOutput) != CString::npos) {
        CString strPath = options.strOutput;
        return ChooseSaveFormat(strPath, 1);
    }
    return ESaveFormat::Txt;
}

// Loads the template as Load Template does. A template that cannot be read
// from its start again (standard input, a pipe) is first copied to a
// temporary file that is gone from its folder from the start.
bool LoadTemplate(const CString& strPath, CString& strTemplate, CString& strError)
{
    struct stat st
    {};
    const bool bStdin = strPath == "-";
    if (!bStdin && ::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        return CLineArray::LoadJoined(strPath, "\r\n", strTemplate, &strError);
    const CString strName = bStdin ? CString("standard input") : strPath;
    const int in = bStdin ? 0 : ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        strError = msg::CannotOpen(strPath, ErrnoText(errno));
        return false;
    }
    CString strCopy;
    const int copy = CreateAnonymousFile(strCopy);
    bool bOk = copy >= 0;
    std::vector<char> buffer(size_t{64} << 10);
    while (bOk) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            strError = msg::CannotRead(strName, ErrnoText(errno));
        if (n <= 0) {
            bOk = n == 0;
            break;
        }
        bOk = ::write(copy, buffer.data(), static_cast<size_t>(n)) == n;
        if (!bOk)
            strError = msg::CannotWrite("a temporary file for " + strName, ErrnoText(errno));
    }
    if (copy < 0)
        strError = msg::CannotWrite("a temporary file for " + strName, ErrnoText(errno));
    bOk = bOk && CLineArray::LoadJoined(strCopy, "\r\n", strTemplate, &strError);
    if (copy >= 0)
        ::close(copy);
    if (!bStdin)
        ::close(in);
    return bOk;
}

// Whether two paths name one file, through any links or "..".
bool SameFile(const CString& strA, const CString& strB)
{
    struct stat a
    {};
    struct stat b
    {};
    return strA != "-" && strB != "-" && ::stat(strA.c_str(), &a) == 0 &&
        ::stat(strB.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An output that is one of the inputs would be replaced by the table before
// it has been read whole; it is refused before anything is written.
bool OutputIsAnInput(const CCliOptions& options, std::ostream& err)
{
    if (options.ToStandardOutput())
        return false;
    for (const auto& [pszWhat, strInput] :
         {std::pair<const char*, CString>("data", options.strDataPath),
          std::pair<const char*, CString>("template", options.strTemplatePath)}) {
        if (SameFile(options.strOutput, strInput)) {
            err << "korvane-cli: the output \"" << options.strOutput << "\" is the " << pszWhat
                << " file \"" << strInput << "\"; it would be replaced by the table\n";
            return true;
        }
    }
    return false;
}

void PrintReport(const CCliOptions& options, CParseReport report, std::ostream& err)
{
    report.strSource = options.strDataPath == "-" ? CString("standard input") : options.strDataPath;
    if (options.strReport == "json")
        err << ReportJson(report) << "\n";
    else
        err << "korvane-cli: report\n" << ReportText(report);
}

// Every format goes out as the data file is parsed, so that a large file is
// never held whole. Files are written as Save As writes them (text with CR
// LF line ends, replaced only when complete); standard output gets tab and
// comma text with LF line ends.
int WriteStreamed(const CCliOptions& options, ESaveFormat format, std::ostream& out,
                  std::ostream& err, CString& strStep)
{
    CString strTemplate;
    CString strError;
    strStep = "reading the template \"" + options.strTemplatePath + "\"";
    testhook::Reached("template");
    if (!LoadTemplate(options.strTemplatePath, strTemplate, strError)) {
        err << "korvane-cli: " << strError << "\n";
        return kExitFailure;
    }
    const bool bToFile = !options.ToStandardOutput();
    COstreamSink stdoutSink(out);
    CExportTarget target;
    target.strPath = bToFile ? options.strOutput : CString();
    target.pStream = bToFile ? nullptr : &stdoutSink;
    target.bHeader = options.bHeader;
    target.bSync = false;
    target.bCellsFromLines = true;
    target.bReplace = options.bReplace;
    target.strTableName = "KorvaneData";
    target.onWait = [&err](const CString& strNote) { err << "korvane-cli: " << strNote << "\n"; };
    const std::unique_ptr<IRowSink> pSink = MakeFormatSink(format, target);

    strStep = "parsing \"" + options.strDataPath + "\" into " +
        (bToFile ? "\"" + options.strOutput + "\"" : CString("standard output"));
    const CStreamedParse parse(options.settings, strTemplate);
    CParseReport report;
    bool bDone = false;
    try {
        bDone = parse.Run(options.strDataPath, *pSink, strError, &report);
    } catch (const CUserException& e) {
        strError = e.GetErrorMessage();
    }
    out.flush();
    if (!bToFile && !out && errno == EPIPE) {
        // The reader of a pipe has gone (| head): nothing more is wanted,
        // and the end is as quiet as a program stopped by SIGPIPE.
        return kExitBrokenPipe;
    }
    if (!bDone || (!bToFile && !out)) {
        if (strError.empty())
            strError = bToFile ? "Cannot write \"" + options.strOutput + "\""
                               : CString("cannot write to standard output");
        err << "korvane-cli: " << strError << "\n";
        return kExitFailure;
    }
    if (!options.strReport.empty())
        PrintReport(options, report, err);
    const bool bShort = report.eEnd != CParseReport::EEnd::EndOfData || report.nRecords == 0;
    return options.bStrict && bShort ? kExitStrict : 0;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CCliOptions options;
    CString strError;
    if (!ParseCliArgs(args, options, strError)) {
        err << "korvane-cli: " << strError << "\n" << CliUsage();
        return kExitUsage;
    }
    if (options.bHelp) {
        out << CliHelp();
        return 0;
    }
    if (options.bVersion) {
        out << CliVersion();
        return 0;
    }
    const ESaveFormat format = ChosenFormat(options);
    const CSaveFormatInfo& info = SaveFormatInfo(format);
    if (options.bHeader && !info.bHeaderOption) {
        err << "korvane-cli: --header is only for TXT and CSV output\n" << CliUsage();
        return kExitUsage;
    }
    if (options.bReplace && format != ESaveFormat::Html) {
        err << "korvane-cli: --replace is only for HTML output\n" << CliUsage();
        return kExitUsage;
    }
    if (!info.bStreams && options.ToStandardOutput()) {
        err << "korvane-cli: the " << FormatKey(format) << " format needs -o FILE\n" << CliUsage();
        return kExitUsage;
    }
    if (OutputIsAnInput(options, err))
        return kExitFailure;
    // Out of memory is a message and a failure, not an abort; the files of
    // the run are gone with the objects that made them.
    CString strStep = "starting";
    try {
        return WriteStreamed(options, format, out, err, strStep);
    } catch (const std::bad_alloc&) {
        err << "korvane-cli: out of memory while " << strStep << "\n";
        return kExitFailure;
    }
}
