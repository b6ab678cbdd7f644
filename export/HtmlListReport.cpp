#include "HtmlListReport.h"

#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/Messages.h"
#include "framework/StringUtil.h"
#include "framework/TempFile.h"

#include <cerrno>
#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const CHtmlRowStyle kHeaderStyle{0xFFFFFF, 3};
const CHtmlRowStyle kBodyStyle{0x000000, 2};
constexpr COLORREF kHeaderBack = 0x7799CC;

} // namespace

bool CHtmlListReport::Create(const CString& strPath, const CString& strTitle,
                             const std::vector<CTableColumn>& columns)
{
    m_strTitle = strTitle;
    m_nColumns = static_cast<int>(columns.size());
    if (!Open(strPath, strTitle, 0x000000, 0x000000))
        return false;
    if (!IsNewFile())
        return BeginTable(m_nColumns + 1, strTitle, false, 1, 100, alignCenter);
    if (!BeginTable(m_nColumns + 1, strTitle, true, 1, 100, alignCenter))
        return false;
    for (int j = 0; j < m_nColumns; ++j)
        SetCellText(j, BoundedRead(columns[static_cast<size_t>(j)].strCaption));
    SetNextRowColor(kHeaderBack);
    return WriteRow(kHeaderStyle, true);
}

bool CHtmlListReport::Create(const CString& strPath, const CString& strTitle, const CListCtrl& list)
{
    return Create(strPath, strTitle, ColumnsOf(list));
}

bool CHtmlListReport::AddRow(const std::string_view* pCells)
{
    for (int j = 0; j < m_nColumns; ++j)
        SetCellText(j, pCells[j]);
    return WriteRow(kBodyStyle, false);
}

bool CHtmlListReport::AddListRow(const CListCtrl& list, int nItem)
{
    for (int j = 0; j < list.GetColumnCount(); ++j)
        SetCellText(j, list.GetItemTextView(nItem, j));
    return WriteRow(kBodyStyle, false);
}

CHtmlRowSink::CHtmlRowSink(CString strPath, CString strTitle, bool bReplace)
    : m_strPath(std::move(strPath)), m_strTitle(std::move(strTitle)), m_bReplace(bReplace)
{}

CHtmlRowSink::~CHtmlRowSink()
{
    if (!m_bDone)
        m_report.Abandon();
    if (!m_strTempPath.empty())
        ::unlink(m_strTempPath.c_str());
}

CString CHtmlRowSink::GetError() const
{
    if (!m_strError.empty())
        return m_strError;
    // A new report is written under another name; the user knows the path.
    CString strError = m_report.GetError();
    if (!m_strTempPath.empty())
        str::ReplaceAll(strError, m_strTempPath, m_strPath);
    return strError;
}

bool CHtmlRowSink::Failed()
{
    // Close puts the file back as it was before this save.
    m_report.Abandon();
    return false;
}

bool CHtmlRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    // A report is added to where it is; anything that is not a file (a
    // device, a pipe) is written in place.
    m_strPath = ResolveLinks(m_strPath);
    struct stat st
    {};
    const bool bExists = ::stat(m_strPath.c_str(), &st) == 0;
    const bool bInPlace = bExists && (!S_ISREG(st.st_mode) || (st.st_size > 0 && !m_bReplace));
    CString strOpenPath = m_strPath;
    if (!bInPlace) {
        const int fd = CreateTempBeside(m_strPath, m_strTempPath);
        if (fd < 0) {
            m_strError = msg::CannotWrite(m_strPath, ErrnoText(errno));
            return false;
        }
        ::close(fd);
        strOpenPath = m_strTempPath;
    }
    if (!m_report.Create(strOpenPath, m_strTitle, columns))
        return false;
    std::int64_t nSum = 0;
    for (const CTableColumn& column : columns)
        nSum += column.nWidth;
    // With no width to share out, the cells simply get no width attribute.
    if (nSum > 0) {
        for (size_t j = 0; j < columns.size(); ++j)
            m_report.SetCellWidth(static_cast<int>(j),
                                  static_cast<int>(columns[j].nWidth * std::int64_t{100} / nSum));
    }
    return true;
}

bool CHtmlRowSink::AddRow(const std::string_view* pCells, int /*nImage*/)
{
    return m_report.AddRow(pCells) || Failed();
}

bool CHtmlRowSink::EndRows()
{
    if (!m_report.Flush() || !m_report.Close())
        return Failed();
    m_bDone = true;
    if (!m_strTempPath.empty()) {
        if (::rename(m_strTempPath.c_str(), m_strPath.c_str()) != 0) {
            m_strError = msg::CannotWrite(m_strPath, ErrnoText(errno));
            return false;
        }
        m_strTempPath.clear();
    }
    return true;
}
