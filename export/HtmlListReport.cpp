#include "HtmlListReport.h"

#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/Messages.h"
#include "framework/Path.h"
#include "framework/StringUtil.h"
#include "framework/TempFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// An exclusive lock on a folder, held while the object lives.
class CFolderLock
{
public:
    ~CFolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    // Waits for the lock; onWait hears of a wait longer than a second. False
    // after a minute without it. A folder that cannot be opened is not
    // locked (nothing is shared there).
    bool Lock(const CString& strFolder, const CString& strFor,
              const std::function<void(const CString&)>& onWait)
    {
        m_fd =
            ::open(strFolder.empty() ? "." : strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0)
            return true;
        constexpr int kStepMs = 50;
        for (int nWaited = 0;; nWaited += kStepMs) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
                return true;
            if (errno != EWOULDBLOCK && errno != EINTR)
                return true;
            if (nWaited == 1000 && onWait)
                onWait(
                    "waiting for another program to finish writing a report in the folder of \"" +
                    strFor + "\"");
            if (nWaited >= 60000)
                return false;
            ::usleep(kStepMs * 1000);
        }
    }

private:
    int m_fd = -1;
};

CHtmlRowSink::CHtmlRowSink(CString strPath, CString strTitle, bool bReplace,
                           std::function<void(const CString&)> onWait)
    : m_strPath(std::move(strPath)), m_strTitle(std::move(strTitle)), m_bReplace(bReplace),
      m_onWait(std::move(onWait))
{}

CHtmlRowSink::~CHtmlRowSink()
{
    if (!m_bDone)
        m_report.Abandon();
    if (!m_strTempPath.empty()) {
        ::unlink(m_strTempPath.c_str());
        LetGoOnSignal(m_strTempPath);
    }
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

// The new report beside the path: empty, or a copy of the report to add to.
bool CHtmlRowSink::PrepareTemp()
{
    const int fd = CreateTempBeside(m_strPath, m_strTempPath);
    if (fd < 0) {
        m_strError = msg::CannotWrite(m_strPath, ErrnoText(errno));
        return false;
    }
    int nErrno = 0;
    if (!m_bReplace) {
        const int in = ::open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC);
        std::vector<char> buffer(std::size_t{1} << 16);
        for (ssize_t n = 0; in >= 0 && nErrno == 0;) {
            n = ::read(in, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                nErrno = n < 0 ? errno : 0;
                break;
            }
            if (::write(fd, buffer.data(), static_cast<std::size_t>(n)) != n)
                nErrno = errno != 0 ? errno : ENOSPC;
        }
        if (in >= 0)
            ::close(in);
    }
    if (::close(fd) != 0 && nErrno == 0)
        nErrno = errno;
    if (nErrno != 0) {
        m_strError = msg::CannotWrite(m_strPath, ErrnoText(nErrno));
        return false;
    }
    return true;
}

bool CHtmlRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    m_strPath = ResolveLinks(m_strPath);
    m_pLock = std::make_unique<CFolderLock>();
    if (!m_pLock->Lock(CString(path::Folder(m_strPath)), m_strPath, m_onWait)) {
        m_strError = "Cannot add to \"" + m_strPath +
            "\": another program has been writing a report in its folder for a minute.";
        return false;
    }
    // Anything that is not a file (a device, a pipe) is written in place.
    struct stat st
    {};
    const bool bInPlace = ::stat(m_strPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    if (!bInPlace && !PrepareTemp())
        return false;
    if (!m_report.Create(bInPlace ? m_strPath : m_strTempPath, m_strTitle, columns))
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
        LetGoOnSignal(m_strTempPath);
        m_strTempPath.clear();
    }
    m_pLock.reset();
    return true;
}
