// Runs a whole parse on arbitrary settings, template and data, and checks
// what the result set and the list must always satisfy.
#include "engine/ParseCommand.h"
#include "engine/ParseResult.h"
#include "engine/TemplateMatcher.h"
#include "framework/ListCtrl.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Takes the next piece of the input up to a NUL byte.
std::string Take(const std::uint8_t*& p, const std::uint8_t* pEnd)
{
    std::string piece;
    while (p < pEnd && *p != 0)
        piece.push_back(static_cast<char>(*p++));
    if (p < pEnd)
        ++p;
    return piece;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize)
{
    const std::uint8_t* p = pData;
    const std::uint8_t* pEnd = pData + nSize;
    CParseSettings settings;
    settings.strStartTag = Take(p, pEnd);
    settings.strEndTag = Take(p, pEnd);
    settings.strAllowedChars = Take(p, pEnd);
    settings.strCrCl = Take(p, pEnd);
    const std::string strTemplate = Take(p, pEnd);
    const std::string strData(reinterpret_cast<const char*>(p), static_cast<size_t>(pEnd - p));

    CTemplateMatcher matcher;
    matcher.SetSettings(settings.strStartTag, settings.strEndTag, settings.strAllowedChars);
    CParseResult result;
    matcher.Parse(&result, strData, strTemplate, LineBreakFromCrCl(settings.strCrCl));
    for (const CFieldValue& value : result.m_listValues) {
        if (value.m_strValue.empty() || strData.find(value.m_strValue) == std::string::npos)
            std::abort();
    }
    for (int i = 0; i < result.m_arrFieldNames.GetSize(); ++i) {
        for (int j = i + 1; j < result.m_arrFieldNames.GetSize(); ++j) {
            if (result.m_arrFieldNames[i] == result.m_arrFieldNames[j])
                std::abort();
        }
    }

    CListCtrl list;
    InitResultList(list);
    CString strLast;
    RunParse(list, settings, strTemplate, strData, strLast);
    if (!strTemplate.empty() && list.GetColumnCount() != result.m_arrFieldNames.GetSize())
        std::abort();
    return 0;
}
