#pragma once
// The XML document of a table, written as its rows come: a declaration, the
// root "dataroot" with the file-information block, and one "Row" per row
// under "ListData", its cells as attributes named after the column titles
// (at most 255 bytes of each, as the list is read), led by the row's image.
// Two columns with one name give one attribute, where the later column's
// value stands; a column named "image" gives the image attribute its value.
// The bytes are those that CXmlDataFile and CXmlDocument build for the
// same rows; lines end with CR LF.

#include "TextRowSink.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <string_view>
#include <vector>

class ISink;

class CXmlRowSink final : public CTextRowSink
{
public:
    explicit CXmlRowSink(ISink& target) : CTextRowSink(target) {}

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool EndRows() override;
    void FormatRow(CString& strOut, const std::string_view* pCells, int nImage) const override;

private:
    struct CAttribute
    {
        CString strName;
        int nColumn = -1; // the column whose value stands; -1 for the image
    };

    bool BeforeFirstRow(std::string_view& text) override;

    std::vector<CAttribute> m_attributes;
};
