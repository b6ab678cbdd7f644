#pragma once
// One text with the search and edit operations the template engine is
// built on: insert, delete, find, replace-all, and taking placeholders out
// of a line.
//
// Positions and counts are bytes. Every search is an exact, case-sensitive
// byte search; under UTF-8 a match of a whole character text can only begin
// at a character start, so no separate character-boundary rule is needed.

#include "framework/StringTypes.h"

#include <string_view>

class CEditableString
{
public:
    CEditableString() = default;
    explicit CEditableString(CString str) : m_str(std::move(str)) {}
    virtual ~CEditableString() = default;
    CEditableString(const CEditableString&) = default;
    CEditableString& operator=(const CEditableString&) = default;
    CEditableString(CEditableString&&) noexcept = default;
    CEditableString& operator=(CEditableString&&) noexcept = default;

    // Inserts before nPos; past the end the gap is filled with spaces first.
    // An empty text changes nothing.
    CEditableString& Insert(int nPos, std::string_view lpsz);
    // From nPos, nCount bytes; a negative count, or one that reaches past
    // the end, deletes to the end. Nothing happens when nPos is at or past
    // the end.
    CEditableString& Delete(int nPos, int nCount);
    CEditableString& ReplaceAt(int nPos, int nCount, std::string_view lpsz);

    // First occurrence at or after nStart; -1 when there is none or nStart
    // lies past the end. An empty text is found at nStart.
    int Find(std::string_view lpsz, int nStart = 0) const;

    // Replaces occurrences left to right (only the first unless bAll), never
    // searching inserted text again; returns how many were replaced. An
    // empty lpszOld replaces nothing.
    int ReplaceAll(std::string_view lpszOld, std::string_view lpszNew, bool bAll = true);

    // The placeholder of the text: from the first start tag to the end of
    // the first end tag, when that end tag begins after the start tag. The
    // two searches are independent, so only the first occurrence of each tag
    // counts. False, with strOut unchanged, when there is none.
    bool ExtractBetween(CString& strOut, const CString& strStart, const CString& strEnd) const;

    // Appends every placeholder of the text to arrOut, each distinct text
    // once and in the order found, and returns the working copy in which
    // every occurrence of each was replaced by strMarker. m_str is not
    // changed. Ends even when the marker re-forms a placeholder.
    CEditableString ExtractAll(CStringArray& arrOut, const CString& strStart, const CString& strEnd,
                               const CString& strMarker) const;

    // Replaces in place by a space every byte that is not printable: control
    // bytes (below 0x20, and 0x7F) and bytes that are not part of a
    // well-formed UTF-8 sequence. Printable ASCII and well-formed characters
    // from U+0080 up stay. The length does not change.
    const char* BlankNonPrintable();

    CString m_str;
};
