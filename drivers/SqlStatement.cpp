#include "SqlStatement.h"

#include <string_view>

namespace {

using std::string_view;

bool StartsWith(string_view text, string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Takes "[name]" from the front of text up to the first "]" that is
// followed by strAfter; moves text past strAfter.
bool TakeBracketed(string_view& text, string_view strAfter, CString& strName)
{
    if (!StartsWith(text, "["))
        return false;
    const size_t nEnd = text.find(CString("]") + CString(strAfter), 1);
    if (nEnd == string_view::npos)
        return false;
    strName.assign(text.substr(1, nEnd - 1));
    text.remove_prefix(nEnd + 1 + strAfter.size());
    return true;
}

} // namespace

bool ParseCreateTable(const CString& strSql, CCreateTableStatement& statement)
{
    statement = CCreateTableStatement();
    string_view text = strSql;
    constexpr string_view kStart = "create table ";
    constexpr string_view kColumnEnd = "] char (255)";
    if (!StartsWith(text, kStart))
        return false;
    text.remove_prefix(kStart.size());
    if (!TakeBracketed(text, "(", statement.strTable))
        return false;
    // Every column but the last ends with "] char (255),", the last with
    // "] char (255))" at the end of the statement.
    for (;;) {
        if (!StartsWith(text, "["))
            return false;
        const size_t nNext = text.find(CString(kColumnEnd) + ",[", 1);
        if (nNext != string_view::npos) {
            statement.columns.emplace_back(text.substr(1, nNext - 1));
            text.remove_prefix(nNext + kColumnEnd.size() + 1);
            continue;
        }
        const CString strLastEnd = CString(kColumnEnd) + ")";
        if (text.size() < 1 + strLastEnd.size() ||
            text.substr(text.size() - strLastEnd.size()) != strLastEnd)
            return false;
        statement.columns.emplace_back(text.substr(1, text.size() - 1 - strLastEnd.size()));
        return true;
    }
}

bool ParseInsert(const CString& strSql, const CCreateTableStatement& table,
                 std::vector<CString>& values)
{
    values.clear();
    CString strStart = "insert into [" + table.strTable + "] (";
    for (size_t j = 0; j < table.columns.size(); ++j)
        strStart += (j > 0 ? "," : "") + table.columns[j];
    strStart += ") values (";
    string_view text = strSql;
    if (!StartsWith(text, strStart))
        return false;
    text.remove_prefix(strStart.size());
    for (;;) {
        if (!StartsWith(text, "'"))
            return false;
        CString strValue;
        size_t i = 1;
        for (;;) {
            if (i >= text.size())
                return false;
            if (text[i] == '\'') {
                if (i + 1 < text.size() && text[i + 1] == '\'') {
                    strValue.push_back('\'');
                    i += 2;
                    continue;
                }
                break;
            }
            strValue.push_back(text[i++]);
        }
        values.push_back(std::move(strValue));
        text.remove_prefix(i + 1);
        if (text == ")")
            return true;
        if (!StartsWith(text, ","))
            return false;
        text.remove_prefix(1);
    }
}
