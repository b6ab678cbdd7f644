#include "BiffWorkbookWriter.h"

#include "CompoundFileWriter.h"
#include "LittleEndian.h"
#include "framework/StringUtil.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// Record ids.
constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kWindow1 = 0x003D;
constexpr std::uint16_t kFont = 0x0031;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kStyle = 0x0293;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kColInfo = 0x007D;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kWindow2 = 0x023E;

// BOF fields.
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint16_t kWorksheetSubstream = 0x0010;
constexpr std::uint16_t kBuild = 0x0DBB;
constexpr std::uint16_t kBuildYear = 0x07CC;
constexpr std::uint32_t kHistoryWindows = 0x00000009; // last and ever edited on Windows
constexpr std::uint32_t kLowestBiff = 0x00000006;

constexpr std::uint16_t kCodePageUtf16 = 1200;
constexpr std::uint16_t kFontHeight = 200; // in twentieths of a point: 10 pt
constexpr std::uint16_t kWeightNormal = 400;
constexpr std::uint16_t kWeightBold = 700;
constexpr std::uint16_t kColorAutomatic = 0x7FFF;
constexpr char kFontName[] = "Arial";

// The XF records: 15 cell styles, which every workbook has, then the two
// cell formats that cells use. Font index 4 does not exist: the fifth FONT
// record has the index 5.
constexpr int kStyleXfCount = 15;
constexpr std::uint16_t kXfPlain = 15;
constexpr std::uint16_t kXfBold = 16;
constexpr std::uint16_t kFontPlain = 0;
constexpr std::uint16_t kFontBold = 5;
constexpr std::uint16_t kXfStyleFlags = 0xFFF5; // locked, a style, no parent
constexpr std::uint16_t kXfCellFlags = 0x0001;  // locked, parent style 0
constexpr std::uint8_t kAlignBottom = 0x20;
constexpr std::uint8_t kUsesOwnFont = 0x08;
constexpr std::uint16_t kXfColors = 0x20C0; // window text on window background
constexpr std::uint16_t kBuiltInNormalStyle = 0x8000;
constexpr std::uint16_t kWindow1Flags = 0x0038; // scroll bars and sheet tabs shown
constexpr std::uint16_t kWindow2Flags = 0x06B6; // grid, headers, zeros, outline; selected
constexpr std::uint16_t kWsBoolFlags = 0x04C1;  // automatic page breaks, outline below and right
constexpr std::uint16_t kWindowWidth = 15000;   // in twips
constexpr std::uint16_t kWindowHeight = 9000;
constexpr std::uint16_t kTabBarRatio = 600; // in 1/1000 of the window's width
constexpr std::uint8_t kNoOutlineLevel = 0xFF;
constexpr std::uint16_t kColorWindowText = 64;

// Column widths, in characters; COLINFO counts 1/256 of one.
constexpr std::uint16_t kMinWidth = 10;
constexpr std::uint16_t kMaxWidth = 60;

// Room for the records around the cells when the file's size is checked.
constexpr std::uint64_t kRecordsAroundCells = std::uint64_t{1} << 16;

constexpr std::string_view kSheetNameForbidden = "[]:*?/\\";
constexpr size_t kMaxSheetNameChars = 31;

void PutRecord(CString& out, std::uint16_t nId, std::string_view body)
{
    le::PutU16(out, nId);
    le::PutU16(out, static_cast<std::uint32_t>(body.size()));
    out.append(body);
}

// The option byte and the characters of a BIFF8 string: one byte each when
// all are Latin-1, else UTF-16.
void PutChars(CString& out, const std::u16string& text)
{
    const bool bWide = std::any_of(text.begin(), text.end(), [](char16_t ch) { return ch > 0xFF; });
    le::PutU8(out, bWide ? 1 : 0);
    for (const char16_t ch : text) {
        if (bWide)
            le::PutU16(out, ch);
        else
            le::PutU8(out, ch);
    }
}

// Columns in characters as a reader shows them: East Asian letters and
// signs take two.
std::uint16_t DisplayWidth(const std::u16string& text)
{
    size_t nWidth = 0;
    for (const char16_t ch : text) {
        if (ch >= 0xDC00 && ch <= 0xDFFF)
            continue;
        nWidth += ch >= 0x1100 ? 2 : 1;
    }
    return static_cast<std::uint16_t>(std::min<size_t>(nWidth, kMaxWidth));
}

CString MakeBof(std::uint16_t nSubstream)
{
    CString body;
    le::PutU16(body, kBiff8);
    le::PutU16(body, nSubstream);
    le::PutU16(body, kBuild);
    le::PutU16(body, kBuildYear);
    le::PutU32(body, kHistoryWindows);
    le::PutU32(body, kLowestBiff);
    CString out;
    PutRecord(out, kBof, body);
    return out;
}

void PutFont(CString& out, std::uint16_t nWeight)
{
    CString body;
    le::PutU16(body, kFontHeight);
    le::PutU16(body, 0); // not italic, not struck out
    le::PutU16(body, kColorAutomatic);
    le::PutU16(body, nWeight);
    le::PutU16(body, 0); // neither superscript nor subscript
    le::PutU8(body, 0);  // not underlined
    le::PutU8(body, 0);  // font family
    le::PutU8(body, 0);  // character set
    le::PutU8(body, 0);
    const std::u16string name = str::Utf16FromUtf8(kFontName);
    le::PutU8(body, static_cast<std::uint32_t>(name.size()));
    PutChars(body, name);
    PutRecord(out, kFont, body);
}

void PutXf(CString& out, std::uint16_t nFont, std::uint16_t nFlags, std::uint8_t nUsed)
{
    CString body;
    le::PutU16(body, nFont);
    le::PutU16(body, 0); // number format General
    le::PutU16(body, nFlags);
    le::PutU8(body, kAlignBottom);
    le::PutU8(body, 0); // no rotation
    le::PutU8(body, 0); // no indent
    le::PutU8(body, nUsed);
    le::PutU32(body, 0); // no borders
    le::PutU32(body, 0); // no fill
    le::PutU16(body, kXfColors);
    PutRecord(out, kXf, body);
}

} // namespace

CBiffWorkbookWriter::CBiffWorkbookWriter(const CString& strSheetName)
    : m_strSheetName(MakeSheetName(strSheetName))
{}

CBiffWorkbookWriter::EResult CBiffWorkbookWriter::AddRow(const std::vector<CString>& cells,
                                                         EStyle style)
{
    if (m_nRows >= kMaxRows)
        return EResult::SheetFull;
    if (cells.size() > static_cast<size_t>(kMaxColumns))
        return EResult::TooManyColumns;
    m_strRow.clear();
    std::vector<std::uint16_t> widths(m_arrWidths);
    widths.resize(std::max(widths.size(), cells.size()), 0);
    for (size_t j = 0; j < cells.size(); ++j) {
        if (cells[j].empty())
            continue;
        const std::u16string text = str::Utf16FromUtf8(cells[j]);
        if (text.size() > static_cast<size_t>(kMaxCellChars))
            return EResult::CellTooLong;
        CString body;
        le::PutU16(body, static_cast<std::uint32_t>(m_nRows));
        le::PutU16(body, static_cast<std::uint32_t>(j));
        le::PutU16(body, style == EStyle::Bold ? kXfBold : kXfPlain);
        le::PutU16(body, static_cast<std::uint32_t>(text.size()));
        PutChars(body, text);
        PutRecord(m_strRow, kLabel, body);
        widths[j] = std::max(widths[j], DisplayWidth(text));
    }
    if (m_spool.GetSize() + m_strRow.size() + kRecordsAroundCells >
        CCompoundFileWriter::kMaxStreamSize)
        return EResult::FileTooLarge;
    if (!m_strRow.empty()) {
        if (!m_spool.IsOpen())
            m_spool.Open();
        m_spool.Append(m_strRow);
    }
    m_arrWidths.swap(widths);
    m_nColumns = std::max(m_nColumns, static_cast<int>(cells.size()));
    ++m_nRows;
    return EResult::Added;
}

void CBiffWorkbookWriter::Write(CFile& file)
{
    const CString strGlobals = MakeGlobals();
    const CString strHead = MakeSheetHead();
    CString strTail;
    CString body;
    le::PutU16(body, kWindow2Flags);
    le::PutU16(body, 0); // top row
    le::PutU16(body, 0); // left column
    le::PutU32(body, kColorWindowText);
    le::PutU16(body, 0); // zoom of the page break preview: default
    le::PutU16(body, 0); // zoom: default
    le::PutU32(body, 0);
    PutRecord(strTail, kWindow2, body);
    PutRecord(strTail, kEof, {});

    CCompoundFileWriter writer(file);
    writer.Begin("Workbook",
                 strGlobals.size() + strHead.size() + m_spool.GetSize() + strTail.size());
    writer.Write(strGlobals);
    writer.Write(strHead);
    if (m_spool.IsOpen())
        m_spool.ReadBack([&writer](std::string_view bytes) { writer.Write(bytes); });
    writer.Write(strTail);
    writer.End();
}

CString CBiffWorkbookWriter::MakeGlobals() const
{
    CString out = MakeBof(kGlobalsSubstream);
    CString body;
    le::PutU16(body, kCodePageUtf16);
    PutRecord(out, kCodePage, body);

    body.clear();
    le::PutU16(body, 0); // left
    le::PutU16(body, 0); // top
    le::PutU16(body, kWindowWidth);
    le::PutU16(body, kWindowHeight);
    le::PutU16(body, kWindow1Flags);
    le::PutU16(body, 0); // active sheet
    le::PutU16(body, 0); // first sheet tab shown
    le::PutU16(body, 1); // sheets selected
    le::PutU16(body, kTabBarRatio);
    PutRecord(out, kWindow1, body);

    for (int i = 0; i < 4; ++i)
        PutFont(out, kWeightNormal);
    PutFont(out, kWeightBold);
    for (int i = 0; i < kStyleXfCount; ++i)
        PutXf(out, kFontPlain, kXfStyleFlags, 0);
    PutXf(out, kFontPlain, kXfCellFlags, 0);
    PutXf(out, kFontBold, kXfCellFlags, kUsesOwnFont);

    body.clear();
    le::PutU16(body, kBuiltInNormalStyle); // built in, style XF 0
    le::PutU8(body, 0);                    // the style Normal
    le::PutU8(body, kNoOutlineLevel);
    PutRecord(out, kStyle, body);

    body.clear();
    le::PutU32(body, 0); // the sheet's position in the stream, set below
    le::PutU8(body, 0);  // visible
    le::PutU8(body, 0);  // a worksheet
    const std::u16string name = str::Utf16FromUtf8(m_strSheetName);
    le::PutU8(body, static_cast<std::uint32_t>(name.size()));
    PutChars(body, name);
    const size_t nPositionAt = out.size() + 4;
    PutRecord(out, kBoundSheet, body);
    PutRecord(out, kEof, {});
    le::SetU32(out, nPositionAt, static_cast<std::uint32_t>(out.size()));
    return out;
}

CString CBiffWorkbookWriter::MakeSheetHead() const
{
    CString out = MakeBof(kWorksheetSubstream);
    CString body;
    le::PutU16(body, kWsBoolFlags);
    PutRecord(out, kWsBool, body);
    for (size_t j = 0; j < m_arrWidths.size(); ++j) {
        const std::uint32_t nWidth = std::max(m_arrWidths[j], kMinWidth) + 2u;
        body.clear();
        le::PutU16(body, static_cast<std::uint32_t>(j)); // first column
        le::PutU16(body, static_cast<std::uint32_t>(j)); // last column
        le::PutU16(body, std::min<std::uint32_t>(nWidth, kMaxWidth) * 256);
        le::PutU16(body, kXfPlain);
        le::PutU16(body, 0); // not hidden, no outline
        le::PutU16(body, 0);
        PutRecord(out, kColInfo, body);
    }
    body.clear();
    le::PutU32(body, 0);                                      // first row
    le::PutU32(body, static_cast<std::uint32_t>(m_nRows));    // last row + 1
    le::PutU16(body, 0);                                      // first column
    le::PutU16(body, static_cast<std::uint32_t>(m_nColumns)); // last column + 1
    le::PutU16(body, 0);
    PutRecord(out, kDimensions, body);
    return out;
}

CString CBiffWorkbookWriter::MakeSheetName(const CString& strName)
{
    CString out;
    size_t nUnits = 0;
    size_t i = 0;
    while (i < strName.size()) {
        const size_t nLen = str::Utf8SequenceLength(strName, i);
        CString strChar = "_";
        if (nLen > 0) {
            strChar = strName.substr(i, nLen);
            const auto by = static_cast<unsigned char>(strChar[0]);
            if (nLen == 1 &&
                (by < 0x20 || by == 0x7F ||
                 kSheetNameForbidden.find(strChar[0]) != std::string_view::npos))
                strChar = "_";
        }
        const size_t nCharUnits = nLen == 4 ? 2 : 1;
        if (nUnits + nCharUnits > kMaxSheetNameChars)
            break;
        out += strChar;
        nUnits += nCharUnits;
        i += std::max<size_t>(nLen, 1);
    }
    if (!out.empty() && out.front() == '\'')
        out.front() = '_';
    if (!out.empty() && out.back() == '\'')
        out.back() = '_';
    return out.empty() ? CString("Sheet1") : out;
}
