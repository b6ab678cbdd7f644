#include "XlsxRowSink.h"

#include "framework/Messages.h"
#include "framework/Path.h"
#include "framework/StringUtil.h"
#include "framework/TestHook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <string>

static_assert(CXlsxRowSink::kMaxRows == LXW_ROW_MAX);

namespace {

constexpr double kMinWidth = 4;
constexpr double kMaxWidth = 80;
constexpr double kFitToPageWidth = 200;
// Room for the autofilter's button beside a caption.
constexpr double kButtonWidth = 3;
// The sheet's XML goes into the file without ZIP64, which some readers
// take amiss, so it must stay below 4 GiB; rows are counted at the most
// the XML can take for them, with room to spare.
constexpr std::uint64_t kMaxSheetXml = std::uint64_t{4000} << 20;
constexpr std::uint64_t kXmlPerRow = 32;
constexpr std::uint64_t kXmlPerCell = 64;

// The bytes of XML an ASCII character of a cell becomes.
std::uint64_t XmlBytesOf(unsigned char by)
{
    if (by == '&')
        return 5;
    if (by == '<' || by == '>')
        return 4;
    return by < 0x20 && by != '\t' && by != '\n' ? 7 : 1;
}

constexpr const char* kOtherFormat = " Save it as .csv or .sqlite instead.";

// Whether an ASCII byte stands for itself, one column wide, in the XML.
bool IsPlain(char ch)
{
    return ch >= 0x20 && ch < 0x7F && ch != '_' && ch != '&' && ch != '<' && ch != '>';
}

// Whether text that Excel would read as an escape "_xHHHH_" starts at nPos.
bool IsEscapeAt(std::string_view text, size_t nPos)
{
    if (nPos + 7 > text.size() || text[nPos] != '_' || (text[nPos + 1] | 0x20) != 'x' ||
        text[nPos + 6] != '_')
        return false;
    for (size_t i = nPos + 2; i < nPos + 6; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

char32_t DecodeUtf8(std::string_view text, size_t nPos, size_t nLen)
{
    const auto byteAt = [&](size_t i) { return static_cast<char32_t>(text[nPos + i]) & 0xFF; };
    if (nLen == 2)
        return ((byteAt(0) & 0x1F) << 6) | (byteAt(1) & 0x3F);
    if (nLen == 3)
        return ((byteAt(0) & 0x0F) << 12) | ((byteAt(1) & 0x3F) << 6) | (byteAt(2) & 0x3F);
    return ((byteAt(0) & 0x07) << 18) | ((byteAt(1) & 0x3F) << 12) | ((byteAt(2) & 0x3F) << 6) |
        (byteAt(3) & 0x3F);
}

// How many columns of the sheet a character takes: East Asian wide
// characters and emoji two, combining marks none.
int DisplayWidth(char32_t ch)
{
    if (ch < 0x300)
        return 1;
    if ((ch <= 0x36F) || (ch >= 0x200B && ch <= 0x200F) || (ch >= 0xFE00 && ch <= 0xFE0F))
        return 0;
    const bool bWide = (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0xA4CF) ||
        (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) ||
        (ch >= 0xFE30 && ch <= 0xFE4F) || (ch >= 0xFF00 && ch <= 0xFF60) ||
        (ch >= 0xFFE0 && ch <= 0xFFE6) || (ch >= 0x1F300 && ch <= 0x1F64F) ||
        (ch >= 0x1F900 && ch <= 0x1F9FF) || (ch >= 0x20000 && ch <= 0x3FFFD);
    return bWide ? 2 : 1;
}

// The text the library is given for a cell (see the header), with the width
// of its longest line and the most XML it can become.
struct CCellText
{
    size_t nWidth = 0;
    std::uint64_t nXmlBytes = 0;
};

CCellText MakeCellText(CString& strOut, std::string_view cell)
{
    strOut.clear();
    CCellText result;
    size_t nUnits = 0; // UTF-16 units of strOut
    size_t nLine = 0;
    size_t nPos = 0;
    while (nPos < cell.size()) {
        // A run of printable ASCII that needs no care goes over at once.
        const size_t nRoom = CXlsxRowSink::kMaxCellUnits - nUnits;
        size_t nRun = 0;
        while (nPos + nRun < cell.size() && nRun < nRoom && IsPlain(cell[nPos + nRun]))
            ++nRun;
        if (nRun > 0) {
            strOut.append(cell.substr(nPos, nRun));
            nPos += nRun;
            nUnits += nRun;
            nLine += nRun;
            result.nXmlBytes += nRun;
            continue;
        }
        const auto by = static_cast<unsigned char>(cell[nPos]);
        if (by < 0x80) {
            const bool bEscape = by == '_' && IsEscapeAt(cell, nPos);
            const size_t nNeed = by == 0 || bEscape ? 7 : 1;
            if (nUnits + nNeed > CXlsxRowSink::kMaxCellUnits)
                break;
            // A NUL would end the library's text: it gets the escape the
            // library gives the other control characters.
            if (by == 0) {
                strOut += "_x0000_";
            } else {
                if (bEscape)
                    strOut += "_x005F";
                strOut.push_back(static_cast<char>(by));
            }
            nUnits += nNeed;
            result.nXmlBytes += by == 0 ? 7 : XmlBytesOf(by) + (bEscape ? 6 : 0);
            if (by == '\n') {
                result.nWidth = std::max(result.nWidth, nLine);
                nLine = 0;
            } else if (by >= 0x20) {
                ++nLine;
            }
            ++nPos;
            continue;
        }
        const size_t nLen = str::Utf8SequenceLength(cell, nPos);
        const size_t nNeed = nLen == 4 ? 2 : 1;
        if (nUnits + nNeed > CXlsxRowSink::kMaxCellUnits)
            break;
        if (nLen == 0) {
            strOut += str::kReplacement;
            nPos += str::IllFormedLength(cell, nPos);
            ++nLine;
        } else {
            strOut.append(cell.substr(nPos, nLen));
            nLine += static_cast<size_t>(DisplayWidth(DecodeUtf8(cell, nPos, nLen)));
            nPos += nLen;
        }
        nUnits += nNeed;
        result.nXmlBytes += nLen == 0 ? str::kReplacement.size() : nLen;
    }
    result.nWidth = std::max(result.nWidth, nLine);
    result.nXmlBytes += kXmlPerCell;
    return result;
}

CString ThousandsOf(std::uint64_t n)
{
    CString strText = std::to_string(n);
    for (int nAt = static_cast<int>(strText.size()) - 3; nAt > 0; nAt -= 3)
        strText.insert(static_cast<size_t>(nAt), ",");
    return strText;
}

} // namespace

CXlsxRowSink::CXlsxRowSink(CString strPath, CString strSheetName, bool bSync,
                           std::uint32_t nMaxRows)
    : m_file(std::move(strPath)), m_strSheetName(std::move(strSheetName)), m_bSync(bSync),
      m_nMaxRows(std::min<std::uint32_t>(nMaxRows, LXW_ROW_MAX))
{}

CXlsxRowSink::~CXlsxRowSink() { FreeWorkbook(); }

void CXlsxRowSink::FreeWorkbook() noexcept
{
    if (m_pWorkbook != nullptr) {
        lxw_workbook_free(m_pWorkbook);
        m_pWorkbook = nullptr;
        m_pSheet = nullptr;
        m_pBold = nullptr;
    }
}

bool CXlsxRowSink::Fail(const CString& strReason)
{
    m_strError = msg::CannotWrite(m_file.GetTarget(), strReason);
    FreeWorkbook();
    m_file.Discard();
    return false;
}

bool CXlsxRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    m_nColumns = static_cast<int>(columns.size());
    if (columns.size() > LXW_COL_MAX) {
        return Fail("An Excel worksheet (.xlsx) holds at most " + ThousandsOf(LXW_COL_MAX) +
                    " columns, and this table has " + ThousandsOf(columns.size()) + "." +
                    kOtherFormat);
    }
    if (!m_file.Create()) {
        m_strError = m_file.GetError();
        return false;
    }
    CString strTempFolder(path::Folder(m_file.GetPath()));
    if (strTempFolder.empty())
        strTempFolder = ".";
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = strTempFolder.data();
    options.use_zip64 = LXW_FALSE;
    m_pWorkbook = workbook_new_opt(m_file.GetPath().c_str(), &options);
    if (m_pWorkbook == nullptr)
        return Fail(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED));
    const bool bNameValid = !m_strSheetName.empty() &&
        workbook_validate_sheet_name(m_pWorkbook, m_strSheetName.c_str()) == LXW_NO_ERROR;
    m_pSheet = workbook_add_worksheet(m_pWorkbook, bNameValid ? m_strSheetName.c_str() : nullptr);
    m_pBold = workbook_add_format(m_pWorkbook);
    if (m_pSheet == nullptr || m_pBold == nullptr)
        return Fail(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED));
    format_set_bold(m_pBold);

    m_widths.assign(columns.size(), kMinWidth);
    m_nRow = 0;
    m_nXmlBytes = 0;
    if (columns.empty())
        return true;
    worksheet_freeze_panes(m_pSheet, 1, 0);
    // Printed, the captions head every page, across the wider side.
    worksheet_repeat_rows(m_pSheet, 0, 0);
    worksheet_set_landscape(m_pSheet);
    for (int j = 0; j < m_nColumns; ++j) {
        if (!WriteCell(j, columns[static_cast<size_t>(j)].strCaption, true))
            return false;
    }
    return true;
}

bool CXlsxRowSink::WriteCell(int nColumn, std::string_view cell, bool bCaption)
{
    const CCellText text = MakeCellText(m_strCell, cell);
    m_nXmlBytes += text.nXmlBytes;
    // Bold letters are a little wider, and a caption has the autofilter's
    // button beside it.
    const double dWidth = bCaption ? static_cast<double>(text.nWidth) * 1.1 + kButtonWidth
                                   : static_cast<double>(text.nWidth) + 1;
    double& dColumn = m_widths[static_cast<size_t>(nColumn)];
    dColumn = std::min(kMaxWidth, std::max(dColumn, dWidth));
    if (m_strCell.empty())
        return true;
    const lxw_error error =
        worksheet_write_string(m_pSheet, m_nRow, static_cast<lxw_col_t>(nColumn), m_strCell.c_str(),
                               bCaption ? m_pBold : nullptr);
    return error == LXW_NO_ERROR || Fail(lxw_strerror(error));
}

bool CXlsxRowSink::AddRow(const std::string_view* pCells, int /*nImage*/)
{
    // The library writes the file itself; the test hook counts the cells.
    for (int j = 0; j < m_nColumns; ++j)
        testhook::Wrote(pCells[j].size() + 1);
    if (m_pSheet == nullptr)
        return false;
    ++m_nRow;
    m_nXmlBytes += kXmlPerRow;
    if (m_nRow >= m_nMaxRows) {
        return Fail("An Excel worksheet (.xlsx) holds at most " + ThousandsOf(m_nMaxRows) +
                    " rows, the column names included, and this table has more." + kOtherFormat);
    }
    for (int j = 0; j < m_nColumns; ++j) {
        if (!WriteCell(j, pCells[j], false))
            return false;
    }
    if (m_nXmlBytes > kMaxSheetXml) {
        return Fail("An Excel workbook (.xlsx) written here holds a sheet of at most 4 GB, and "
                    "this table needs more." +
                    CString(kOtherFormat));
    }
    return true;
}

bool CXlsxRowSink::EndRows()
{
    if (m_pWorkbook == nullptr)
        return false;
    double dTotal = 0;
    for (int j = 0; j < m_nColumns; ++j) {
        worksheet_set_column(m_pSheet, static_cast<lxw_col_t>(j), static_cast<lxw_col_t>(j),
                             m_widths[static_cast<size_t>(j)], nullptr);
        dTotal += m_widths[static_cast<size_t>(j)];
    }
    // A table up to about one and a half pages wide is printed shrunk to one, so that
    // a row stays on its page; a wider one would become too small to read.
    if (dTotal <= kFitToPageWidth)
        worksheet_fit_to_pages(m_pSheet, 1, 0);
    if (m_nColumns > 0)
        worksheet_autofilter(m_pSheet, 0, 0, m_nRow, static_cast<lxw_col_t>(m_nColumns - 1));
    const lxw_error error = workbook_close(m_pWorkbook);
    m_pWorkbook = nullptr;
    m_pSheet = nullptr;
    if (error != LXW_NO_ERROR)
        return Fail(lxw_strerror(error));
    if (!m_file.Commit(m_bSync)) {
        m_strError = m_file.GetError();
        return false;
    }
    return true;
}
