#include "SaveFormat.h"

#include "DelimitedFormat.h"
#include "HtmlListReport.h"
#include "JsonRowSink.h"
#include "OdbcExport.h"
#include "SqliteRowSink.h"
#include "XlsxRowSink.h"
#include "XmlRowSink.h"
#include "framework/Path.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

#include <algorithm>
#include <iterator>

namespace {

// A format that writes bytes, into a stream or into a file that replaces
// its target only when complete.
class CByteRowSink final : public IRowSink
{
public:
    // makeFormat(ISink&) makes the format's sink over the bytes' target.
    template <class FMake>
    CByteRowSink(const CExportTarget& target, FMake makeFormat)
    {
        ISink* pBytes = target.pStream;
        if (pBytes == nullptr) {
            m_pFile = std::make_unique<CAtomicFileSink>(target.strPath, target.bSync);
            pBytes = m_pFile.get();
        }
        m_pFormat = makeFormat(*pBytes);
    }

    bool BeginRows(const std::vector<CTableColumn>& columns) override
    {
        return (m_pFile == nullptr || m_pFile->Open()) && m_pFormat->BeginRows(columns);
    }
    bool AddRow(const std::string_view* pCells, int nImage) override
    {
        return m_pFormat->AddRow(pCells, nImage);
    }
    bool EndRows() override
    {
        return m_pFormat->EndRows() && (m_pFile == nullptr || m_pFile->Commit());
    }
    CString GetError() const override
    {
        return m_pFile != nullptr ? m_pFile->GetError() : m_pFormat->GetError();
    }
    const IRowFormatter* GetFormatter() const override { return m_pFormat->GetFormatter(); }
    bool AddFormattedRows(std::string_view text) override
    {
        return m_pFormat->AddFormattedRows(text);
    }

private:
    std::unique_ptr<CAtomicFileSink> m_pFile;
    std::unique_ptr<IRowSink> m_pFormat;
};

std::unique_ptr<IRowSink> MakeDelimited(const CExportTarget& target, char chSeparator)
{
    // Files are written in text mode, with CR LF line ends.
    const CDelimitedFormat format(chSeparator, target.pStream == nullptr,
                                  target.bCellsFromLines
                                      ? CDelimitedFormat::ECellLineFeeds::Never
                                      : CDelimitedFormat::ECellLineFeeds::Possible);
    return std::make_unique<CByteRowSink>(target, [&](ISink& bytes) {
        return std::make_unique<CDelimitedSink>(bytes, format, target.bHeader, target.bBackground);
    });
}

std::unique_ptr<IRowSink> MakeTxt(const CExportTarget& target)
{
    return MakeDelimited(target, '\t');
}

std::unique_ptr<IRowSink> MakeCsv(const CExportTarget& target)
{
    return MakeDelimited(target, ',');
}

std::unique_ptr<IRowSink> MakeXls(const CExportTarget& target)
{
    return std::make_unique<COdbcRowSink>(target.strTableName, target.strPath,
                                          "Microsoft Excel Driver (*.xls)", ".xls");
}

std::unique_ptr<IRowSink> MakeMdb(const CExportTarget& target)
{
    return std::make_unique<COdbcRowSink>(target.strTableName, target.strPath,
                                          "Microsoft Access Driver (*.mdb)", ".mdb");
}

std::unique_ptr<IRowSink> MakeHtml(const CExportTarget& target)
{
    return std::make_unique<CHtmlRowSink>(target.strPath, "Korvane Report", target.bReplace,
                                          target.onWait);
}

std::unique_ptr<IRowSink> MakeXml(const CExportTarget& target)
{
    return std::make_unique<CByteRowSink>(
        target, [](ISink& bytes) { return std::make_unique<CXmlRowSink>(bytes); });
}

std::unique_ptr<IRowSink> MakeXlsx(const CExportTarget& target)
{
    return std::make_unique<CXlsxRowSink>(target.strPath, target.strTableName, target.bSync);
}

std::unique_ptr<IRowSink> MakeSqlite(const CExportTarget& target)
{
    return std::make_unique<CSqliteRowSink>(target.strPath, target.strTableName, target.bSync);
}

std::unique_ptr<IRowSink> MakeJsonSink(const CExportTarget& target, EJsonLayout eLayout)
{
    return std::make_unique<CByteRowSink>(target, [&](ISink& bytes) {
        return std::make_unique<CJsonRowSink>(bytes, eLayout, target.bBackground);
    });
}

std::unique_ptr<IRowSink> MakeJson(const CExportTarget& target)
{
    return MakeJsonSink(target, EJsonLayout::Array);
}

std::unique_ptr<IRowSink> MakeJsonl(const CExportTarget& target)
{
    return MakeJsonSink(target, EJsonLayout::Lines);
}

const CSaveFormatInfo kFormats[] = {
    {ESaveFormat::Txt, "TXT", "txt", "Text (Tab delimited) (*.txt)|*.txt", true, true, &MakeTxt},
    {ESaveFormat::Csv, "CSV", "csv", "CSV (Comma delimited) (*.csv)|*.csv", true, true, &MakeCsv},
    {ESaveFormat::Xls, "XLS", "xls", "Excel Workbook (*.xls)|*.xls", false, false, &MakeXls},
    {ESaveFormat::Mdb, "MDB", "mdb", "Access Database (*.mdb)|*.mdb", false, false, &MakeMdb},
    {ESaveFormat::Html, "HTML", "html", "Web Page (*.html)|*.html", false, false, &MakeHtml},
    {ESaveFormat::Xml, "XML", "xml", "Xml Data (*.xml)|*.xml", true, false, &MakeXml},
    {ESaveFormat::Xlsx, "XLSX", "xlsx", "Excel Workbook 2007+ (*.xlsx)|*.xlsx", false, false,
     &MakeXlsx},
    {ESaveFormat::Sqlite, "SQLITE", "sqlite", "SQLite Database (*.sqlite *.db)|*.sqlite *.db",
     false, false, &MakeSqlite},
    {ESaveFormat::Json, "JSON", "json", "JSON (*.json)|*.json", true, false, &MakeJson},
    {ESaveFormat::Jsonl, "JSONL", "jsonl", "JSON Lines (*.jsonl)|*.jsonl", true, false, &MakeJsonl},
};

// Whether the patterns of the format's filter ("*.sqlite *.db") name the
// extension (upper case).
bool FilterNames(const CSaveFormatInfo& info, const CString& strUpperExt)
{
    const std::string_view filter(info.pszFilter);
    std::string_view patterns = filter.substr(filter.find('|') + 1);
    while (!patterns.empty()) {
        const size_t nEnd = std::min(patterns.find(' '), patterns.size());
        const std::string_view pattern = patterns.substr(0, nEnd);
        if (pattern.substr(0, 2) == "*." && str::ToUpper(pattern.substr(2)) == strUpperExt)
            return true;
        patterns.remove_prefix(std::min(nEnd + 1, patterns.size()));
    }
    return false;
}

const CSaveFormatInfo* FindByKey(const CString& strUpperKey)
{
    for (const CSaveFormatInfo& info : kFormats) {
        if (strUpperKey == info.pszKey)
            return &info;
    }
    return nullptr;
}

} // namespace

const CString& SaveDialogFilter()
{
    static const CString strFilter = []() {
        CString strText;
        for (const CSaveFormatInfo& info : kFormats)
            strText += CString(info.pszFilter) + "|";
        return strText + "|";
    }();
    return strFilter;
}

CSaveFormatList SaveFormats() { return {std::begin(kFormats), std::end(kFormats)}; }

const CSaveFormatInfo& SaveFormatInfo(ESaveFormat format)
{
    for (const CSaveFormatInfo& info : kFormats) {
        if (info.format == format)
            return info;
    }
    return kFormats[0];
}

std::unique_ptr<IRowSink> MakeFormatSink(ESaveFormat format, const CExportTarget& target)
{
    return SaveFormatInfo(format).pMakeSink(target);
}

const char* FormatKey(ESaveFormat format) { return SaveFormatInfo(format).pszKey; }

ESaveFormat FormatFromKey(const CString& strUpperKey)
{
    const CSaveFormatInfo* pInfo = FindByKey(strUpperKey);
    return pInfo != nullptr ? pInfo->format : ESaveFormat::Txt;
}

bool IsFormatKey(const CString& strUpperKey) { return FindByKey(strUpperKey) != nullptr; }

ESaveFormat ChooseSaveFormat(CString& strPath, int nFilterIndex)
{
    const CString strExt = str::ToUpper(path::Extension(strPath));
    if (!strExt.empty()) {
        for (const CSaveFormatInfo& info : kFormats) {
            if (FilterNames(info, strExt))
                return info.format;
        }
        return ESaveFormat::Txt;
    }
    const int nFilters = static_cast<int>(std::size(kFormats));
    const CSaveFormatInfo& info = nFilterIndex >= 1 && nFilterIndex <= nFilters
        ? kFormats[nFilterIndex - 1]
        : SaveFormatInfo(ESaveFormat::Xml);
    strPath += CString(".") + info.pszExtension;
    return info.format;
}
