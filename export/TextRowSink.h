#pragma once
// A format whose rows are text, each row apart from the others, written
// into a byte sink: the format's own text and single rows go through a
// buffer, runs of rows formatted on the parse's threads go to the target
// as they are. A format gives FormatRow and its text before and after the
// rows; tab and comma text, XML and JSON are such formats.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <memory>
#include <string_view>

class CBufferedSink;
class ISink;

class CTextRowSink : public IRowSink, public IRowFormatter
{
public:
    // With bBackground the target is written by a second thread while the
    // next rows are formed (for files and pipes).
    explicit CTextRowSink(ISink& target, bool bBackground = false);
    ~CTextRowSink() override;
    CTextRowSink(const CTextRowSink&) = delete;
    CTextRowSink& operator=(const CTextRowSink&) = delete;

    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool AddFormattedRows(std::string_view text) override;
    CString GetError() const override;
    const IRowFormatter* GetFormatter() const override { return this; }

protected:
    // Called once, before the text of the first row, which it may shorten.
    virtual bool BeforeFirstRow(std::string_view& /*text*/) { return true; }
    bool HaveRows() const { return m_bHaveRows; }
    // The format's own text, buffered.
    bool Write(std::string_view bytes);
    // Writes out what is buffered; false once a write has failed.
    bool Flush();

private:
    ISink& m_target;
    std::unique_ptr<CBufferedSink> m_pOut;
    bool m_bHaveRows = false;
    CString m_strRow;
};
