#pragma once
// Tab-delimited and comma-separated text: one line per row, cells joined by
// the separator, no quoting for tabs; a CSV cell holding a comma, a double
// quote, a CR or an LF is written between double quotes with its quotes
// doubled. Text mode, as a file written in text mode stores it, writes every
// LF as CR LF, the LFs inside cells included.

#include "TextRowSink.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <string_view>
#include <vector>

class CListCtrl;
class ISink;

class CDelimitedFormat
{
public:
    // Whether cells may hold line feeds, which text mode stores as CR LF as
    // it does the line ends. Cells cut from the lines of a text never do,
    // and are then not searched for them.
    enum class ECellLineFeeds { Possible, Never };

    CDelimitedFormat(char chSeparator, bool bTextMode,
                     ECellLineFeeds eCells = ECellLineFeeds::Possible)
        : m_chSeparator(chSeparator), m_bTextMode(bTextMode),
          m_bCheckCells(bTextMode && eCells == ECellLineFeeds::Possible)
    {}
    // One row of nCount cells; may be used from several threads at once.
    void AppendRow(CString& strOut, const std::string_view* pCells, int nCount) const;
    // The column captions, whole, as one line.
    void AppendHeader(CString& strOut, const std::vector<CTableColumn>& columns) const;
    void AppendHeader(CString& strOut, const CListCtrl& list) const;

private:
    char m_chSeparator;
    bool m_bTextMode;
    bool m_bCheckCells;
};

// Delimited text of the rows it takes, into a byte sink: the captions first
// when asked for, then the rows.
class CDelimitedSink final : public CTextRowSink
{
public:
    CDelimitedSink(ISink& target, const CDelimitedFormat& format, bool bHeader,
                   bool bBackground = false)
        : CTextRowSink(target, bBackground), m_format(format), m_bHeader(bHeader)
    {}

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool EndRows() override { return Flush(); }
    void FormatRow(CString& strOut, const std::string_view* pCells, int nImage) const override;

private:
    CDelimitedFormat m_format;
    bool m_bHeader;
    int m_nColumns = 0;
};
