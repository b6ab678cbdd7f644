#pragma once
// The stand-in for "Microsoft Excel Driver (*.xls)": the table becomes the
// one sheet of an Excel 97-2003 workbook, named after the table, with the
// column names in its first row and every value as a text cell.

#include "BiffWorkbookWriter.h"
#include "StandInDriver.h"

#include <memory>

class CExcelStandIn final : public CStandInDriver
{
public:
    CExcelStandIn();

protected:
    // An empty workbook: one sheet, "Sheet1", without cells.
    bool CreateEmptyFile(const CString& strPath) override;
    // Throws CDatabaseException for more columns than a sheet holds, or
    // when the spool file cannot be made.
    void BeginTable(const CString& strTable, const std::vector<CString>& columns) override;
    // Throws CDatabaseException past the 65,536 rows of a sheet (the column
    // names count as one), for a value of more than 255 characters, or when
    // the file would grow past 2 GB.
    void AddRow(const std::vector<CString>& values) override;
    void Finish(const CString& strPath) override;

private:
    // Throws CDatabaseException for a row the workbook did not take.
    void Check(CBiffWorkbookWriter::EResult result, size_t nCells) const;

    std::unique_ptr<CBiffWorkbookWriter> m_pWorkbook;
};
