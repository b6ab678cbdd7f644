#include "EngineFuzzCases.h"

#include "ReferenceMatcher.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "engine/ParseReport.h"
#include "engine/ParseResult.h"
#include "engine/StreamedParse.h"
#include "engine/TemplateMatcher.h"
#include "engine/TextFileReader.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/StringUtil.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace enginefuzz {

namespace {

struct CParseCaseInput
{
    CParseSettings settings;
    CString strTemplate;
    CString strData;
};

// Takes the next piece of the input up to a NUL byte.
std::string Take(const uint8_t*& p, const uint8_t* pEnd)
{
    std::string piece;
    while (p < pEnd && *p != 0)
        piece.push_back(static_cast<char>(*p++));
    if (p < pEnd)
        ++p;
    return piece;
}

CParseCaseInput ReadParseCase(const uint8_t* pData, size_t nSize)
{
    const uint8_t* p = pData;
    const uint8_t* pEnd = pData + nSize;
    CParseCaseInput in;
    in.settings.strStartTag = Take(p, pEnd);
    in.settings.strEndTag = Take(p, pEnd);
    in.settings.strAllowedChars = Take(p, pEnd);
    in.settings.strCrCl = Take(p, pEnd);
    in.strTemplate = Take(p, pEnd);
    in.strData.assign(reinterpret_cast<const char*>(p), static_cast<size_t>(pEnd - p));
    return in;
}

// A file of this process's own for the cases that read files, removed
// when the case is done.
class CScratchFile
{
public:
    explicit CScratchFile(const char* pszName)
        : m_strPath((std::filesystem::temp_directory_path() /
                     ("korvane-fuzz-" + std::string(pszName) + "-" + std::to_string(::getpid())))
                        .string())
    {}
    ~CScratchFile() { std::remove(m_strPath.c_str()); }
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;

    const std::string& Path() const { return m_strPath; }
    bool Write(const void* pData, size_t nSize) const
    {
        FILE* pFile = std::fopen(m_strPath.c_str(), "wb");
        if (pFile == nullptr)
            return false;
        const bool bWritten = std::fwrite(pData, 1, nSize, pFile) == nSize;
        return std::fclose(pFile) == 0 && bWritten;
    }

private:
    std::string m_strPath;
};

// The first place where two lists differ, or the empty string.
std::string ListDifference(const CListCtrl& expected, const CListCtrl& actual)
{
    if (expected.GetColumnCount() != actual.GetColumnCount())
        return "columns " + std::to_string(actual.GetColumnCount()) + ", expected " +
            std::to_string(expected.GetColumnCount());
    for (int j = 0; j < expected.GetColumnCount(); ++j) {
        if (expected.GetColumnCaptionWhole(j) != actual.GetColumnCaptionWhole(j))
            return "caption of column " + std::to_string(j) + " '" +
                actual.GetColumnCaptionWhole(j) + "', expected '" +
                expected.GetColumnCaptionWhole(j) + "'";
    }
    if (expected.GetItemCount() != actual.GetItemCount())
        return "rows " + std::to_string(actual.GetItemCount()) + ", expected " +
            std::to_string(expected.GetItemCount());
    for (int i = 0; i < expected.GetItemCount(); ++i) {
        for (int j = 0; j < expected.GetColumnCount(); ++j) {
            if (expected.GetItemText(i, j) != actual.GetItemText(i, j))
                return "cell (" + std::to_string(i) + ", " + std::to_string(j) + ") '" +
                    actual.GetItemText(i, j) + "', expected '" + expected.GetItemText(i, j) + "'";
        }
    }
    return {};
}

// The list a fresh window shows after one Parse Data of the text by the
// plain road: the whole text walked at once, every value kept, then the
// list filled from the values.
bool ParsedList(const CParseCaseInput& in, const CString& strText, CListCtrl& list)
{
    InitResultList(list);
    CTemplateMatcher matcher;
    matcher.SetSettings(in.settings.strStartTag, in.settings.strEndTag,
                        in.settings.strAllowedChars);
    CParseResult result;
    const bool bComplete =
        matcher.Parse(&result, strText, in.strTemplate, LineBreakFromCrCl(in.settings.strCrCl));
    result.FillList(list, !in.strTemplate.empty(), in.settings.strStartTag, in.settings.strEndTag);
    return bComplete;
}

// The streamed parse of strText, which run does into a fresh list through its
// sink, against the whole parse of the same text; a fault names the text
// strWhat.
template <class FRun>
std::string CompareStreamed(const CParseCaseInput& in, const CString& strText,
                            CStreamedParse& parse, const std::string& strWhat,
                            const std::string& strPieces, FRun run)
{
    CListCtrl expected;
    const bool bExpectedComplete = ParsedList(in, strText, expected);
    CListCtrl list;
    InitResultList(list);
    parse.FillColumns(list);
    CListRowSink sink(list);
    CString strError;
    CParseReport report;
    if (!run(list, sink, strError, report))
        return strWhat + " was not parsed: " + strError + strPieces;
    const bool bComplete = report.eEnd != CParseReport::EEnd::Mismatch;
    if (bComplete != bExpectedComplete)
        return strWhat + "'s walk " + (bComplete ? "ended" : "stopped") +
            " where the whole parse's did not" + strPieces;
    const std::string strDifference = ListDifference(expected, list);
    if (!strDifference.empty())
        return strWhat + ": " + strDifference + strPieces;
    return {};
}

} // namespace

std::string RunMatcherCase(const uint8_t* pData, size_t nSize)
{
    const CParseCaseInput in = ReadParseCase(pData, nSize);
    const CParseSettings& s = in.settings;
    const CString strLineBreak = LineBreakFromCrCl(s.strCrCl);

    CTemplateMatcher matcher;
    matcher.SetSettings(s.strStartTag, s.strEndTag, s.strAllowedChars);
    CParseResult result;
    const bool bComplete = matcher.Parse(&result, in.strData, in.strTemplate, strLineBreak);
    const CReferenceRun expected = ReferenceParse(in.strData, in.strTemplate, strLineBreak,
                                                  s.strStartTag, s.strEndTag, s.strAllowedChars);
    if (bComplete != expected.bComplete)
        return bComplete ? "complete, the reference stopped" : "stopped, the reference did not";
    if (static_cast<const CStringArray&>(result.m_arrFieldNames) != expected.fieldNames)
        return "field names differ from the reference's";
    size_t i = 0;
    for (const CFieldValue& value : result.m_listValues) {
        if (i >= expected.values.size())
            return "more values than the reference's " + std::to_string(i);
        if (value.m_strName != expected.values[i].first ||
            value.m_strValue != expected.values[i].second)
            return "value " + std::to_string(i) + " is " + value.m_strName + "='" +
                value.m_strValue + "', the reference's " + expected.values[i].first + "='" +
                expected.values[i].second + "'";
        ++i;
    }
    if (i != expected.values.size())
        return std::to_string(i) + " values, the reference's " +
            std::to_string(expected.values.size());

    CListCtrl list;
    InitResultList(list);
    CString strLast;
    RunParse(list, s, in.strTemplate, in.strData, strLast);
    if (!in.strTemplate.empty() && list.GetColumnCount() != result.m_arrFieldNames.GetSize())
        return "the list has " + std::to_string(list.GetColumnCount()) + " columns for " +
            std::to_string(result.m_arrFieldNames.GetSize()) + " field names";
    return {};
}

std::string RunStreamedParseCase(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return {};
    // Pieces from 1 byte, which cuts at every line, up to the default.
    const uint8_t bySize = pData[0];
    const std::uint64_t nPieceSize =
        bySize < 240 ? 1u + bySize % 80u : std::uint64_t{512} << (bySize - 240);
    const CParseCaseInput in = ReadParseCase(pData + 1, nSize - 1);
    CStreamedParse parse(in.settings, in.strTemplate);
    parse.SetPieceSize(nPieceSize);
    const std::string strPieces = " (pieces of " + std::to_string(nPieceSize) + " bytes)";

    std::string strTextFault = CompareStreamed(
        in, in.strData, parse, "the text", strPieces,
        [&](CListCtrl& list, IRowSink& sink, CString& strError, CParseReport& report) {
            return parse.RunText(in.strData, list.GetColumnCount(), sink, strError, &report);
        });
    if (!strTextFault.empty())
        return strTextFault;

    const CScratchFile file("streamed");
    const std::string& strPath = file.Path();
    if (!file.Write(in.strData.data(), in.strData.size()))
        return {};
    CString strText;
    if (!CLineArray::LoadJoined(strPath, "\r\n", strText))
        return "the data file cannot be read";
    return CompareStreamed(
        in, strText, parse, "the file", strPieces,
        [&](CListCtrl&, IRowSink& sink, CString& strError, CParseReport& report) {
            return parse.Run(strPath, sink, strError, &report);
        });
}

std::string RunTextReaderCase(const uint8_t* pData, size_t nSize)
{
    const CScratchFile file("reader");
    const std::string& strPath = file.Path();
    if (!file.Write(pData, nSize))
        return {};
    CTextFileReader reader(strPath);
    CString text;
    if (!reader.ReadAll(text, "\r\n"))
        return "the file cannot be read";
    if (!str::IsValidUtf8(text))
        return "the text is not valid UTF-8";
    for (size_t i = 0; i < text.size(); ++i) {
        const bool bCr = text[i] == '\r';
        const bool bLf = text[i] == '\n';
        if (bCr && (i + 1 >= text.size() || text[i + 1] != '\n'))
            return "a CR without LF at " + std::to_string(i);
        if (bLf && (i == 0 || text[i - 1] != '\r'))
            return "an LF without CR at " + std::to_string(i);
    }
    CLineArray lines;
    if (!lines.LoadFromFile(strPath, "\r\n"))
        return "the lines cannot be loaded";
    return {};
}

} // namespace enginefuzz
