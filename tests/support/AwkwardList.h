#pragma once
// A result list whose captions and cells hold what trips writers up: quotes,
// apostrophes, commas, tabs, line breaks, markup, accented and CJK letters,
// emoji, control characters, empty cells, cells past 255 bytes, bytes that
// are not UTF-8, captions "Time" and "Date", a caption given twice (once in
// other letters' case) and an empty caption. Formats that must hold UTF-8
// find each ill-formed byte run of row 5 as one U+FFFD; RepairedCell gives
// the cells as they must read then.

#include "ListBuilder.h"

#include <string>

namespace awkward {

inline const std::string kEmoji = "\xF0\x9F\x98\x80";
inline const std::string kFffd = "\xEF\xBF\xBD";

inline std::string Repeat(const std::string& strText, int nTimes)
{
    std::string out;
    for (int i = 0; i < nTimes; ++i)
        out += strText;
    return out;
}

inline std::vector<CColumnDef> Columns()
{
    return {{"Name"}, {"Time"}, {"Date"}, {" Start-Date "}, {""}, {"Notes"}, {"Name"}, {"name"}};
}

inline std::vector<std::vector<std::string>> Rows()
{
    return {
        {"say \"hi\"", "it's", "O''Brien", "a,b", "x\ty", "line\nbreak", "crlf\r\nbreak", "<&>"},
        {"Ren\xC3\xA9"
         "e",
         "\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD", kEmoji + " smile", "", "  padded  ", "back\\slash",
         "_x0041_ and _X00e9_", "\x01\x1F\x7F"},
        {"", "", "", "", "", "", "", ""},
        {std::string(300, 'a'), Repeat("\xC3\xA9", 150), Repeat(kEmoji, 100), "=1+1", "0012", "'",
         "-", "null"},
        {"bad \xFF byte", "cut \xE6\x9D", "\xED\xA0\x80 surrogate", "\xC0\x80 overlong",
         "\xF4\x90\x80\x80 too big", "ok", "", "end"},
    };
}

// The cells of Rows() with the ill-formed bytes of row 5 as U+FFFD.
inline std::vector<std::vector<std::string>> RepairedRows()
{
    auto rows = Rows();
    rows[4] = {"bad " + kFffd + " byte",
               "cut " + kFffd,
               Repeat(kFffd, 3) + " surrogate",
               Repeat(kFffd, 2) + " overlong",
               Repeat(kFffd, 4) + " too big",
               "ok",
               "",
               "end"};
    return rows;
}

inline std::unique_ptr<CListCtrl> List() { return MakeList(Columns(), Rows()); }

} // namespace awkward
