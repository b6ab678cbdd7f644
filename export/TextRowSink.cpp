#include "TextRowSink.h"

#include "framework/Sink.h"

CTextRowSink::CTextRowSink(ISink& target, bool bBackground)
    : m_target(target),
      m_pOut(std::make_unique<CBufferedSink>(target, false, size_t{1} << 20, bBackground))
{}

CTextRowSink::~CTextRowSink() = default;

bool CTextRowSink::Write(std::string_view bytes) { return m_pOut->Write(bytes); }

bool CTextRowSink::Flush() { return m_pOut->Flush(); }

CString CTextRowSink::GetError() const { return m_target.GetError(); }

bool CTextRowSink::AddRow(const std::string_view* pCells, int nImage)
{
    m_strRow.clear();
    FormatRow(m_strRow, pCells, nImage);
    std::string_view text = m_strRow;
    if (!m_bHaveRows) {
        m_bHaveRows = true;
        if (!BeforeFirstRow(text))
            return false;
    }
    return Write(text);
}

bool CTextRowSink::AddFormattedRows(std::string_view text)
{
    if (text.empty())
        return true;
    if (!m_bHaveRows) {
        m_bHaveRows = true;
        if (!BeforeFirstRow(text))
            return false;
    }
    // Large runs of rows go to the target as they are, without a copy.
    return Flush() && m_target.Write(text);
}
