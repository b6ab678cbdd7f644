#pragma once
// An array of texts: the lines of a text, or a list of field names.

#include "framework/StringTypes.h"

class CLineArray : public CStringArray
{
public:
    using CStringArray::CStringArray;

    // Appends the pieces of strText cut at lpszSep: leading bytes that occur
    // in the separator are dropped first, and a separator is added at the
    // end, so an empty text gives one empty piece and a trailing separator
    // a trailing empty piece. An empty separator gives the whole text as one
    // piece. Returns the number of pieces appended.
    int Split(const CString& strText, const CString& lpszSep);

    // For each item, appends its placeholders to arrOut as ExtractAll finds
    // them; returns the total appended. The array itself is not changed.
    int CollectPlaceholders(CStringArray& arrOut, const CString& strStart, const CString& strEnd,
                            const CString& strMarker) const;

    // Removes every item equal to an item at a lower index.
    void RemoveDuplicates();

    // Every item followed by lpszSep, the last one included.
    CString Join(const CString& lpszSep) const;

    // Reads a text file (any of the encodings the reader knows) and appends
    // its lines cut at lpszSep. False, with the array unchanged, when the
    // file cannot be read; pError then names the reason.
    bool LoadFromFile(const CString& strPath, const CString& lpszSep, CString* pError = nullptr);

    // The text that LoadFromFile (strPath, lpszSep) and then Join (lpszSep)
    // give, made without building the lines: the file's text without its
    // leading separator bytes, followed by one separator. False, with
    // strText unchanged, when the file cannot be read.
    static bool LoadJoined(const CString& strPath, const CString& lpszSep, CString& strText,
                           CString* pError = nullptr);
};
