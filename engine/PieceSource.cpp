#include "PieceSource.h"

#include "AnsiJoiner.h"
#include "StreamPieces.h"
#include "TextFileReader.h"
#include "framework/StringUtil.h"

#include <algorithm>
#include <utility>

namespace {

// A file's text as it is loaded starts after its leading line ends, so that
// its lines are numbered as the loaded text's are.
std::string_view FileTextStart(std::string_view text)
{
    while (text.size() >= 2 && text[0] == '\r' && text[1] == '\n')
        text.remove_prefix(2);
    return text;
}

} // namespace

CPieceSource::CPieceSource(CTextFileReader& reader, std::uint64_t nPieceSize)
    : m_pReader(&reader), m_nPieceSize(std::max<std::uint64_t>(nPieceSize, 1))
{
    m_nLength = reader.GetLength();
    CString strError;
    std::vector<char> block(size_t{64} << 10);
    m_nTextStart = reader.FindTextStart(block, strError);
    m_nCount = static_cast<size_t>(
        std::max<std::uint64_t>(1, (m_nLength + m_nPieceSize - 1) / m_nPieceSize));
}

CPieceSource::CPieceSource(std::string_view text, std::uint64_t nPieceSize) : m_text(text)
{
    // The cuts are found once, in order, so that a line longer than a piece
    // is searched once; a cut that would leave nothing after it is dropped,
    // so that only the last piece may lack its closing CR LF.
    const size_t nStep = static_cast<size_t>(std::max<std::uint64_t>(nPieceSize, 1));
    m_textStarts.push_back(0);
    for (size_t nNominal = nStep; nNominal < text.size();) {
        const size_t nBreak = str::FindCrLf(text, std::max(nNominal, m_textStarts.back()));
        if (nBreak == std::string_view::npos || nBreak + 2 >= text.size())
            break;
        m_textStarts.push_back(nBreak + 2);
        nNominal = std::max(nNominal + nStep, nBreak + 2);
    }
    m_nCount = m_textStarts.size();
}

CPieceSource::CPieceSource(CString strWhole) : m_strWhole(std::move(strWhole)) {}

CPieceSource::CPieceSource(CStreamPieces& stream)
    : m_pStream(&stream), m_nCount(static_cast<size_t>(-1))
{}

bool CPieceSource::IsUtf8Text(CString& strError)
{
    if (m_pStream != nullptr)
        return m_pStream->IsUtf8(strError);
    if (m_pReader == nullptr)
        return true;
    const bool bUtf8 = m_pReader->IsUtf8Text();
    strError = m_pReader->GetError();
    return bUtf8;
}

void CPieceSource::Release(size_t k)
{
    if (m_pStream != nullptr)
        m_pStream->Release(k);
}

void CPieceSource::GiveUpWaits(bool bOn)
{
    if (m_pStream != nullptr)
        m_pStream->GiveUpWaits(bOn);
}

bool CPieceSource::ReadStream(size_t k, bool bUtf8, CPieceText& piece, CString& strError)
{
    std::string_view raw;
    std::shared_ptr<const void> pRaw;
    if (!m_pStream->ReadRaw(k, raw, pRaw, piece.bLast, piece.bPastEnd, strError))
        return false;
    piece.pShared.reset();
    piece.strOwned.clear();
    if (piece.bPastEnd) {
        piece.text = {};
        return true;
    }
    // A stream's text has no line end before its first byte: it was passed
    // over when the stream started.
    if (bUtf8 && IsJoinedAlready(raw, false, piece.bAscii)) {
        piece.pShared = std::move(pRaw);
        piece.text = raw;
    } else {
        if (!bUtf8)
            piece.bAscii = str::AsciiRunLength(reinterpret_cast<const unsigned char*>(raw.data()),
                                               raw.size()) == raw.size();
        piece.strOwned.reserve(raw.size() + raw.size() / 8 + 2);
        CAnsiJoiner("\r\n", bUtf8, false).Feed(piece.strOwned, raw.data(), raw.size());
        piece.text = piece.strOwned;
    }
    if (piece.bLast) {
        // The last piece gets the CR LF that closes the joined text.
        if (piece.pShared) {
            piece.strOwned.assign(piece.text);
            piece.pShared.reset();
        }
        piece.strOwned.append("\r\n");
        piece.text = piece.strOwned;
    }
    return true;
}

bool CPieceSource::Read(size_t k, bool bUtf8, CPieceText& piece, CPieceBuffers& buffers,
                        CString& strError)
{
    piece.bAscii = true;
    piece.pShared.reset();
    piece.bLast = k + 1 == m_nCount;
    piece.bPastEnd = k >= m_nCount;
    if (m_pStream != nullptr)
        return ReadStream(k, bUtf8, piece, strError);
    if (piece.bPastEnd) {
        piece.text = {};
        return true;
    }
    if (m_pReader == nullptr && m_textStarts.empty()) {
        piece.strOwned.swap(m_strWhole);
        piece.text = FileTextStart(piece.strOwned);
        return true;
    }
    if (m_pReader == nullptr) {
        const size_t nEnd = k + 1 == m_nCount ? m_text.size() : m_textStarts[k + 1];
        piece.text = m_text.substr(m_textStarts[k], nEnd - m_textStarts[k]);
        return true;
    }
    // The loaded text starts after the file's leading line ends.
    const std::uint64_t nStart =
        std::max(m_nTextStart, FilePieceStart(k * m_nPieceSize, buffers, strError));
    const std::uint64_t nEnd = k + 1 == m_nCount
        ? m_nLength
        : std::max(m_nTextStart, FilePieceStart((k + 1) * m_nPieceSize, buffers, strError));
    if (!strError.empty() ||
        !m_pReader->ReadJoinedRange(nStart, nEnd, bUtf8, buffers.strRaw, piece.strOwned,
                                    piece.bAscii, strError))
        return false;
    // The CR LF that closes the joined text goes to the last piece, and to
    // one before it that already reaches the end of the file: the one that
    // holds a last line without a line end, when a later nominal start fell
    // inside that line.
    const CString& strText = piece.strOwned;
    const bool bOpenEnd = nEnd == m_nLength && !strText.empty() &&
        (strText.size() < 2 || strText.compare(strText.size() - 2, 2, "\r\n") != 0);
    if (k + 1 == m_nCount || bOpenEnd)
        piece.strOwned.append("\r\n");
    piece.text = piece.strOwned;
    return true;
}

// A line longer than a piece holds the nominal starts of several pieces,
// which all begin after it: the last such line is remembered, so that it is
// searched once and not once per piece.
std::uint64_t CPieceSource::FilePieceStart(std::uint64_t nNominal, CPieceBuffers& buffers,
                                           CString& strError)
{
    {
        const std::lock_guard<std::mutex> lock(m_longLineMutex);
        if (nNominal >= m_nLongLineFrom && nNominal < m_nLongLineEnd)
            return m_nLongLineEnd;
    }
    const std::uint64_t nStart = m_pReader->FindPieceStart(nNominal, buffers.block, strError);
    if (strError.empty() && nStart - nNominal > m_nPieceSize) {
        const std::lock_guard<std::mutex> lock(m_longLineMutex);
        m_nLongLineFrom = nNominal;
        m_nLongLineEnd = nStart;
    }
    return nStart;
}
