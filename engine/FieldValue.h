#pragma once

#include "framework/StringTypes.h"

// One captured value and the field it belongs to. The name is the
// placeholder text exactly as written in the template, tags and custom set
// included.
class CFieldValue
{
public:
    CFieldValue() = default;
    CFieldValue(CString strValue, CString strName)
        : m_strValue(std::move(strValue)), m_strName(std::move(strName))
    {}
    virtual ~CFieldValue() = default;
    CFieldValue(const CFieldValue&) = default;
    CFieldValue& operator=(const CFieldValue&) = default;
    CFieldValue(CFieldValue&&) noexcept = default;
    CFieldValue& operator=(CFieldValue&&) noexcept = default;

    CString m_strValue;
    CString m_strName;
};
