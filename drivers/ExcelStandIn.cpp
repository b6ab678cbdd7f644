#include "ExcelStandIn.h"

#include "framework/Database.h"
#include "framework/File.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kGeneralError[] = "HY000";
constexpr char kRightTruncation[] = "22001";
constexpr char kOtherFormat[] = " Save it as .csv or in another format instead.";

// Writes the workbook to strPath, replacing what is there. On failure a
// regular file there is left empty (a device such as /dev/full is left
// alone), and CDatabaseException names the file and the reason.
void WriteWorkbook(CBiffWorkbookWriter& workbook, const CString& strPath)
{
    CFile file;
    CString strReason;
    if (!file.Open(strPath, CFile::modeCreate | CFile::modeWrite, &strReason))
        throw CDatabaseException("Cannot create \"" + strPath + "\": " + strReason, kGeneralError);
    try {
        workbook.Write(file);
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        struct stat st
        {};
        if (::stat(strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            (void)::truncate(strPath.c_str(), 0);
        throw CDatabaseException(e.GetErrorMessage(), kGeneralError);
    }
}

} // namespace

std::unique_ptr<CStandInDriver> MakeExcelStandIn() { return std::make_unique<CExcelStandIn>(); }

CExcelStandIn::CExcelStandIn() : CStandInDriver("Microsoft Excel Driver (*.xls)") {}

bool CExcelStandIn::CreateEmptyFile(const CString& strPath)
{
    try {
        CBiffWorkbookWriter empty("Sheet1");
        WriteWorkbook(empty, strPath);
        return true;
    } catch (const CDatabaseException&) {
        return false;
    }
}

void CExcelStandIn::BeginTable(const CString& strTable, const std::vector<CString>& columns)
{
    m_pWorkbook = std::make_unique<CBiffWorkbookWriter>(strTable);
    try {
        Check(m_pWorkbook->AddRow(columns, CBiffWorkbookWriter::EStyle::Bold), columns.size());
    } catch (const CFileException& e) {
        throw CDatabaseException(e.GetErrorMessage(), kGeneralError);
    }
}

void CExcelStandIn::AddRow(const std::vector<CString>& values)
{
    try {
        Check(m_pWorkbook->AddRow(values), values.size());
    } catch (const CFileException& e) {
        throw CDatabaseException(e.GetErrorMessage(), kGeneralError);
    }
}

void CExcelStandIn::Finish(const CString& strPath)
{
    // A connection that created no table still leaves a workbook.
    std::unique_ptr<CBiffWorkbookWriter> pWorkbook = std::move(m_pWorkbook);
    if (!pWorkbook)
        pWorkbook = std::make_unique<CBiffWorkbookWriter>("Sheet1");
    WriteWorkbook(*pWorkbook, strPath);
}

void CExcelStandIn::Check(CBiffWorkbookWriter::EResult result, size_t nCells) const
{
    using EResult = CBiffWorkbookWriter::EResult;
    switch (result) {
    case EResult::Added:
        return;
    case EResult::SheetFull:
        throw CDatabaseException("An Excel 97-2003 sheet (.xls) holds at most 65,536 rows, the "
                                 "column names included, and this table has more." +
                                     CString(kOtherFormat),
                                 kGeneralError);
    case EResult::TooManyColumns:
        throw CDatabaseException("An Excel 97-2003 sheet (.xls) holds at most 256 columns, and "
                                 "this table has " +
                                     std::to_string(nCells) + "." + kOtherFormat,
                                 kGeneralError);
    case EResult::CellTooLong:
        throw CDatabaseException("[" + GetName() + "] A value holds more than 255 characters.",
                                 kRightTruncation);
    case EResult::FileTooLarge:
        throw CDatabaseException(
            "An Excel 97-2003 file (.xls) holds at most 2 GB, and this table needs more." +
                CString(kOtherFormat),
            kGeneralError);
    }
}
