#include "SaveFormat.h"

#include "DelimitedFormat.h"
#include "HtmlListReport.h"
#include "OdbcExport.h"
#include "XmlRowSink.h"
#include "framework/Path.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

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
    return std::make_unique<CHtmlRowSink>(target.strPath, "Korvane Report", target.bReplace);
}

std::unique_ptr<IRowSink> MakeXml(const CExportTarget& target)
{
    return std::make_unique<CByteRowSink>(
        target, [](ISink& bytes) { return std::make_unique<CXmlRowSink>(bytes); });
}

const CSaveFormatInfo kFormats[] = {
    {ESaveFormat::Txt, "TXT", "txt", "Text (Tab delimited) (*.txt)|*.txt", true, true, &MakeTxt},
    {ESaveFormat::Csv, "CSV", "csv", "CSV (Comma delimited) (*.csv)|*.csv", true, true, &MakeCsv},
    {ESaveFormat::Xls, "XLS", "xls", "Excel Workbook (*.xls)|*.xls", false, false, &MakeXls},
    {ESaveFormat::Mdb, "MDB", "mdb", "Access Database (*.mdb)|*.mdb", false, false, &MakeMdb},
    {ESaveFormat::Html, "HTML", "html", "Web Page (*.html)|*.html", false, false, &MakeHtml},
    {ESaveFormat::Xml, "XML", "xml", "Xml Data (*.xml)|*.xml", true, false, &MakeXml},
};

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
    if (!strExt.empty())
        return FormatFromKey(strExt);
    const int nFilters = static_cast<int>(std::size(kFormats));
    const CSaveFormatInfo& info = nFilterIndex >= 1 && nFilterIndex <= nFilters
        ? kFormats[nFilterIndex - 1]
        : SaveFormatInfo(ESaveFormat::Xml);
    strPath += CString(".") + info.pszExtension;
    return info.format;
}
