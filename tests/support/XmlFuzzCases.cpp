#include "XmlFuzzCases.h"

#include "XmlRecordCheck.h"
#include "xml/XmlDocument.h"

namespace xmlfuzz {

namespace {

using xmlcheck::CheckRecords;
using xmlcheck::DumpTree;
using xmlcheck::ECheck;

// Reads the input front to back; past the end every read gives 0.
class CReader
{
public:
    CReader(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(nSize) {}
    bool AtEnd() const { return m_nPos >= m_nSize; }
    uint8_t Byte() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }
    // nCount bytes (fewer at the end), NUL bytes left out: names and values
    // are NUL-terminated strings.
    std::string Bytes(size_t nCount)
    {
        std::string str;
        for (size_t i = 0; i < nCount && !AtEnd(); ++i) {
            const uint8_t b = Byte();
            if (b != 0)
                str.push_back(static_cast<char>(b));
        }
        return str;
    }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
};

// A name of XML name characters that the scanner also takes for a name.
std::string SafeName(CReader& reader, bool bAllowEmpty)
{
    static const char kStart[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
    static const char kRest[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789.-";
    size_t nLength = reader.Byte() & 15u;
    if (nLength == 0 && !bAllowEmpty)
        nLength = 1;
    std::string str;
    for (size_t i = 0; i < nLength; ++i) {
        const uint8_t b = reader.Byte();
        str.push_back(i == 0 ? kStart[b % (sizeof kStart - 1)] : kRest[b % (sizeof kRest - 1)]);
    }
    return str;
}

std::string CheckPosition(const CXmlDocument& doc)
{
    const int32_t iParent = doc.GetParentElem();
    const int32_t iCur = doc.GetCurElem();
    const int32_t iChild = doc.GetChildElem();
    const int32_t nCount = doc.GetElementCount();
    if (iParent < 0 || iParent >= nCount || iCur < 0 || iCur >= nCount || iChild < 0 ||
        iChild >= nCount)
        return "position out of range";
    if (iChild != 0 && (iCur == 0 || doc.GetElement(iChild).iParent != iCur))
        return "current child is not under the current element";
    if (iCur != 0 && doc.GetElement(iCur).iParent != iParent)
        return "current element is not under the parent position";
    return {};
}

} // namespace

std::string RunParseCase(const uint8_t* pData, size_t nSize)
{
    const std::string strInput(reinterpret_cast<const char*>(pData), nSize);
    const std::string strText = strInput.substr(0, strInput.find('\0'));
    CXmlDocument doc;
    const bool bOk = doc.SetText(strText.c_str());
    if (doc.GetText() != strText)
        return "the text is not kept as given";
    if (doc.GetParentElem() != 0 || doc.GetCurElem() != 0 || doc.GetChildElem() != 0)
        return "the position is not cleared";
    if (!bOk) {
        const xml::XML_ELEMENT& record = doc.GetElement(0);
        if (doc.GetParseError().empty())
            return "a failed parse without a message";
        if (doc.GetElementCount() != 1 || record.iFirstChild != 0 || record.nSize != 0 ||
            record.cbEndTag != 1)
            return "a failed parse left records behind";
        return {};
    }
    if (!doc.GetParseError().empty())
        return "a good parse with the message '" + doc.GetParseError() + "'";
    if (doc.GetElementCount() < 2 || doc.GetElement(0).iFirstChild != 1)
        return "a good parse without the root as record 1";
    std::string strError = CheckRecords(doc, ECheck::Text);
    if (!strError.empty())
        return strError;
    // Records start in the order of their start tags.
    for (int32_t i = 2; i < doc.GetElementCount(); ++i) {
        if (doc.GetElement(i).nOffset <= doc.GetElement(i - 1).nOffset)
            return "records are not in start-tag order at " + std::to_string(i);
    }
    // A second parse reuses the storage and must give the same records.
    const std::string strDump = DumpTree(doc);
    const int32_t nCount = doc.GetElementCount();
    if (!doc.SetText(strText.c_str()) || DumpTree(doc) != strDump ||
        doc.GetElementCount() != nCount)
        return "a second parse of the same text differs";
    return {};
}

std::string RunEditCase(const uint8_t* pData, size_t nSize)
{
    CReader reader(pData, nSize);
    const uint8_t nMode = reader.Byte();
    const bool bSafeNames = (nMode & 1u) != 0;
    const std::string strPrefix = reader.Bytes(reader.Byte());

    CXmlDocument doc;
    const bool bParsed = doc.SetText(strPrefix.c_str());
    // Edits can only begin where no root element exists; on a text that
    // holds nothing else but well-formed nodes, they must keep it so.
    const bool bStrict = bSafeNames && !bParsed &&
        (doc.GetParseError() == "Root element not found" ||
         doc.GetParseError() == "Empty document");

    for (int nStep = 0; !reader.AtEnd(); ++nStep) {
        const uint8_t nOp = reader.Byte() & 7u;
        const std::string strBefore = doc.GetText();
        const int32_t nCountBefore = doc.GetElementCount();
        bool bDone = false;
        std::string strName;
        std::string strValue;
        switch (nOp) {
        case 0:
        case 1:
            strName = bSafeNames ? SafeName(reader, false) : reader.Bytes(reader.Byte() & 31u);
            bDone =
                nOp == 0 ? doc.AddElement(strName.c_str()) : doc.AddChildElement(strName.c_str());
            break;
        case 2:
            bDone = doc.EnterElement();
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            // 5 and 6 set the attribute with the empty name.
            if (nOp <= 4)
                strName = bSafeNames ? SafeName(reader, true) : reader.Bytes(reader.Byte() & 31u);
            strValue = reader.Bytes(reader.Byte());
            bDone = (nOp == 3 || nOp == 5)
                ? doc.SetAttribute(strName.c_str(), strValue.c_str())
                : doc.SetChildAttribute(strName.c_str(), strValue.c_str());
            break;
        default:
            // Two siblings in a row, then attributes on the second: the
            // path the export takes for each row.
            strName = bSafeNames ? SafeName(reader, false) : reader.Bytes(reader.Byte() & 31u);
            doc.AddChildElement(strName.c_str());
            bDone = doc.AddChildElement(strName.c_str());
            doc.SetChildAttribute("image", "-1");
            break;
        }
        const std::string strStep =
            "step " + std::to_string(nStep) + " (op " + std::to_string(nOp) + "): ";
        if (!bDone && nOp != 7 &&
            (doc.GetText() != strBefore || doc.GetElementCount() != nCountBefore))
            return strStep + "a refused edit changed the document";
        std::string strError = CheckPosition(doc);
        if (strError.empty())
            strError = CheckRecords(doc, ECheck::Structure);
        if (strError.empty() && bStrict) {
            strError = CheckRecords(doc, ECheck::Text);
            if (strError.empty() && doc.GetElement(0).iFirstChild != 0) {
                CXmlDocument again;
                if (!again.SetText(doc.GetText().c_str()))
                    strError = "the edited text does not parse: " + again.GetParseError();
                else if (DumpTree(again) != DumpTree(doc))
                    strError = "a new parse of the edited text gives other records";
            }
        }
        if (!strError.empty())
            return strStep + strError;
    }
    return {};
}

} // namespace xmlfuzz
