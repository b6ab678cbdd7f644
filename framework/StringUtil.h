#pragma once
// Small byte-string helpers shared by the engine, the exporters and the UI.

#include "StringTypes.h"

#include <string>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace str {

// Space, tab, CR, LF, vertical tab and form feed: the white space of the C
// locale, which the parse rules and the exporters trim.
inline bool IsSpace(unsigned char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

CString Trim(std::string_view text);
CString TrimLeft(std::string_view text);
CString TrimRight(std::string_view text);

// Replaces every occurrence of strOld (left to right, never rescanning
// inserted text); an empty strOld replaces nothing. Returns the count.
int ReplaceAll(CString& text, std::string_view strOld, std::string_view strNew);

CString ToUpper(std::string_view text);

// The number of bytes below 0x80 at the start of the bytes.
size_t AsciiRunLength(const unsigned char* pBytes, size_t nCount);

// The first CR or LF in [p, pEnd), or pEnd when there is none.
const char* FindLineEnd(const char* p, const char* pEnd);

// The first CR LF in text at or after nPos, as text.find("\r\n", nPos)
// gives it; inline, for loops that look for one per line.
inline size_t FindCrLf(std::string_view text, size_t nPos)
{
#ifdef __SSE2__
    const char* const p = text.data();
    const __m128i cr = _mm_set1_epi8('\r');
    // Sixteen bytes at a time while the byte after them can be read too.
    while (nPos + 17 <= text.size()) {
        auto nMask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + nPos)), cr)));
        while (nMask != 0) {
            const size_t i = nPos + static_cast<size_t>(__builtin_ctz(nMask));
            if (p[i + 1] == '\n')
                return i;
            nMask &= nMask - 1;
        }
        nPos += 16;
    }
#endif
    return text.find("\r\n", nPos);
}

// Whether the text holds the byte; inline and without a call per text,
// for the many short texts of a table's cells.
inline bool Contains(std::string_view text, char ch)
{
    size_t i = 0;
#ifdef __SSE2__
    if (text.size() >= 16) {
        const __m128i wanted = _mm_set1_epi8(ch);
        const auto hasIt = [&](size_t nAt) {
            const __m128i block =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + nAt));
            return _mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)) != 0;
        };
        for (; i + 16 <= text.size(); i += 16) {
            if (hasIt(i))
                return true;
        }
        // The rest as the last sixteen bytes, which overlap those seen.
        return i < text.size() && hasIt(text.size() - 16);
    }
#endif
    for (; i < text.size(); ++i) {
        if (text[i] == ch)
            return true;
    }
    return false;
}

// Whether the line ends in the bytes are all CR LF: every CR is followed by
// an LF and every LF follows a CR. With pAscii, also whether every byte is
// below 0x80.
bool LineEndsAreCrLf(std::string_view text, bool* pAscii = nullptr);

// True when the bytes form well-formed UTF-8 (no overlongs, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Length of the well-formed UTF-8 sequence that starts at text[nPos], or 0
// when the bytes there do not start one.
size_t Utf8SequenceLength(std::string_view text, size_t nPos);

// The code point of the well-formed UTF-8 sequence at text[nPos], with
// nLength set to its length; nLength is 0 (and the result 0) when the
// bytes there do not start one.
char32_t DecodeUtf8(std::string_view text, size_t nPos, size_t& nLength);

// The UTF-16 code units of a UTF-8 text; a byte that does not belong to a
// well-formed sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

// Appends the UTF-8 form of a code point (U+FFFD for a surrogate or a value
// above U+10FFFF).
void AppendUtf8(CString& out, char32_t ch);

// Replaces by a space every control byte (below 0x20 and 0x7F) and every
// byte that is not part of a well-formed UTF-8 sequence; well-formed
// sequences from U+0080 up are kept. The length does not change.
void BlankControlAndInvalid(CString& text);

// Text for readers that must get well-formed UTF-8 (JSON, the XML of an
// .xlsx workbook, SQLite TEXT). Cells are UTF-8 as the reader decodes
// files, yet bytes that are not can still reach a cell (typed into the edit
// box, or a character cut in two by a character set that takes single
// bytes). Each maximal ill-formed subsequence then becomes one U+FFFD
// REPLACEMENT CHARACTER, as the Unicode standard recommends and as Python's
// "replace" decoding does; well-formed text passes unchanged.
inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
// How many bytes from nPos on one U+FFFD stands for: the longest start of a
// well-formed sequence there, at least 1. Only for a position where no
// well-formed sequence starts.
size_t IllFormedLength(std::string_view text, size_t nPos);
// Appends the text with every ill-formed subsequence replaced.
void AppendRepaired(CString& strOut, std::string_view text);
// The text with every ill-formed subsequence replaced.
CString Repaired(std::string_view text);

// Appends the text as a JSON string between quotes (RFC 8259): the quote,
// the backslash and the control characters escaped, every other character
// as it is, ill-formed bytes repaired as above.
void AppendJsonString(CString& strOut, std::string_view text);

// Converts every LF to CR LF, as a file written in text mode stores it.
CString ToTextMode(std::string_view text);
// The same, appended to out.
void AppendTextMode(CString& out, std::string_view text);

} // namespace str

namespace str {

// Checks UTF-8 well-formedness of a text that arrives in pieces; a sequence
// may be split across pieces.
class CUtf8Validator
{
public:
    void Feed(const unsigned char* pBytes, size_t nCount);
    // True when everything fed so far is well-formed and no sequence is
    // left open.
    bool IsValid() const { return m_bValid && m_nPending == 0; }
    // True once a byte has been seen that no continuation can mend.
    bool IsBroken() const { return !m_bValid; }

private:
    bool m_bValid = true;
    int m_nPending = 0; // continuation bytes still expected
    unsigned char m_byLo = 0x80;
    unsigned char m_byHi = 0xBF;
};

// The Unicode character that a Windows-1252 byte stands for (bytes the code
// page leaves undefined map to the C1 control of the same value).
char32_t Cp1252ToUnicode(unsigned char by);

} // namespace str
