#pragma once
// A writer for an HTML file that holds one table and can be reopened to add
// rows to it.
//
// The file starts with two comment lines: "<!" the byte offset of the first
// body row (at least 4 digits) ">" and "<!" the number of body rows (at
// least 6 digits) ">". A later writer reads them back, keeps the head, the
// header row and the old rows as they are, and adds its rows below them.
// Line ends are a single LF throughout.
//
// Texts given to the writer (title, caption, cell texts) are plain text:
// "&", "<", ">" and '"' are written as character references, so no text
// can add markup to the page.
//
// Every operation returns false once a file operation has failed; GetError
// then names the file and the reason. A writer that failed puts the file
// back as it found it when it is closed: a file it created is removed, an
// existing report gets its old rows and end back.

#include "HtmlCell.h"
#include "HtmlRowStyle.h"
#include "framework/File.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

class CHtmlLog
{
public:
    enum EAlign { alignLeft = 0, alignRight = 1, alignCenter = 2 };

    // Body rows held in memory are written out once they pass this many
    // bytes.
    static constexpr std::size_t kMaxRowBytes = 0x10000;

    CHtmlLog() = default;
    // Flushes and closes a file that is still open.
    virtual ~CHtmlLog();
    CHtmlLog(const CHtmlLog&) = delete;
    CHtmlLog& operator=(const CHtmlLog&) = delete;

    // Opens the file, creating it when missing. An empty file gets the two
    // comment lines, the doctype and the head with strTitle ("HTML Log"
    // when empty) and the body colours. A file that already holds a report
    // is read back so that rows can be added (IsNewFile is then false).
    // False, with the file left untouched, when it cannot be opened or is
    // not empty and does not start with the two comment lines.
    bool Open(const CString& strPath, const CString& strTitle, COLORREF crBack, COLORREF crText);

    // Makes nCells empty cell slots and restarts the row colours. When
    // bWrite is set, writes the table start (width in percent, border,
    // alignment by EAlign) and, when strCaption is not empty, the caption.
    bool BeginTable(int nCells, const CString& strCaption, bool bWrite, int nBorder,
                    int nWidthPercent, int nAlign);

    // False when nCell is not a slot.
    bool SetCellText(int nCell, std::string_view text);
    // Gives the cell the attribute WIDTH="n%"; false when nCell is not a slot
    // or nPercent lies outside 0 to 100.
    bool SetCellWidth(int nCell, int nPercent);
    // The background of the next row only.
    void SetNextRowColor(COLORREF cr);

    // Formats every slot into one row. A header row (TH cells) goes to the
    // file at once and belongs to the head; it must come before any body
    // row. Body rows (TD cells) are held in memory and written by Flush, or
    // earlier once they pass kMaxRowBytes.
    bool WriteRow(const CHtmlRowStyle& style, bool bHeader);

    bool IsNewFile() const { return m_bNewFile; }
    // Whether the file at strPath holds a report that Open would add to.
    static bool IsReport(const CString& strPath);
    bool IsOpen() const { return m_file.IsOpen(); }

    // The next line of the file from the current position, without its LF;
    // a non-empty line gets an LF appended. Without bMarkup the characters
    // "<", "!" and ">" are left out.
    CString ReadLine(bool bMarkup);

    // Writes the body rows held in memory below those already in the file.
    bool Flush();
    // Flushes, writes the end of the file and the two comment lines, and
    // closes the file. When a comment line has no room for its number, the
    // file is rewritten with wider lines; no other byte changes. After a
    // failure the file is put back (see above) and false is returned.
    bool Close();
    // Closes a file that is still open as a failed writer does: the file
    // is put back as it was found.
    void Abandon();

    // Why the last operation failed, naming the file.
    const CString& GetError() const { return m_strError; }

private:
    void Fail(const CString& strMessage);
    bool CloseLocked();
    bool ReadExistingReport(std::uint64_t nLength);
    bool WriteHeadBytes(std::string_view bytes);
    void WriteCommentLines();
    void RewriteWithWiderCommentLines(int nOffsetDigits, int nCountDigits);
    void RollBack() noexcept;
    CString FormatRow(const CHtmlRowStyle& style, bool bHeader) const;

protected:
    CString m_strTitle;

private:
    std::uint64_t m_nBodyOffset = 0;
    CStringArray m_arrRows;            // body rows not yet in the file
    std::size_t m_nRowBytes = 0;       // bytes of m_arrRows
    std::uint64_t m_nFileRowBytes = 0; // bytes of the body rows in the file
    std::uint64_t m_nFileRows = 0;     // body rows in the file, old ones included
    int m_nCells = 0;
    std::vector<CHtmlCell> m_cells;
    COLORREF m_crEvenRow = 0xE7E7E7;
    COLORREF m_crOddRow = 0xFFFFFF;
    COLORREF m_crNextRow = 0xFF0000;
    bool m_bNextRowColor = false;
    bool m_bNewFile = true;
    CFile m_file;
    int m_nRowCount = 0;
    std::mutex m_cs;

    CString m_strPath;
    CString m_strError;
    bool m_bFailed = false;
    bool m_bCreated = false; // Open created the file
    int m_nOffsetDigits = 4; // digits of the comment lines in the file
    int m_nCountDigits = 6;
    std::uint64_t m_nOldBodyEnd = 0; // where the rows of an existing report end
    CString m_strOldTail;            // what followed them
    CString m_strOldHead;            // its two comment lines
};
