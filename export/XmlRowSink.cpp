#include "XmlRowSink.h"

#include "XmlDataFile.h"
#include "xml/XmlDocument.h"

#include <string>
#include <unordered_map>

namespace {

constexpr std::string_view kEmptyList = "<ListData/>\r\n</dataroot>\r\n";
constexpr std::string_view kListStart = "<ListData>\r\n";
constexpr std::string_view kListEnd = "</ListData>\r\n</dataroot>\r\n";

} // namespace

bool CXmlRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    // The image comes first, then one attribute per name in the order the
    // names first appear; a later column of the same name replaces the
    // value of the earlier one.
    m_attributes.clear();
    std::unordered_map<CString, size_t> attributeOf;
    if (!columns.empty()) {
        m_attributes.push_back(CAttribute{"image", -1});
        attributeOf.emplace("image", 0);
    }
    for (size_t j = 0; j < columns.size(); ++j) {
        CString strName = XmlAttributeName(BoundedRead(columns[j].strCaption));
        const auto [it, bNew] = attributeOf.emplace(strName, m_attributes.size());
        if (bNew)
            m_attributes.push_back(CAttribute{std::move(strName), static_cast<int>(j)});
        else
            m_attributes[it->second].nColumn = static_cast<int>(j);
    }

    CXmlDataFile file;
    file.InitDocument("dataroot");
    CXmlDocument& doc = file.GetDocument();
    doc.EnterElement();
    doc.AddElement("ListData");
    const CString strEmpty = file.TakeDocumentText();
    // The document of a list without rows ends with its empty "ListData";
    // what comes before it starts every document.
    return Write(std::string_view(strEmpty).substr(0, strEmpty.size() - kEmptyList.size()));
}

void CXmlRowSink::FormatRow(CString& strOut, const std::string_view* pCells, int nImage) const
{
    strOut += "<Row";
    for (const CAttribute& attribute : m_attributes) {
        strOut += ' ';
        strOut += attribute.strName;
        strOut += "=\"";
        if (attribute.nColumn < 0) {
            strOut += nImage < 0 ? CString("-1") : std::to_string(nImage);
        } else {
            const CString strValue =
                XmlAttributeValue(BoundedRead(pCells[static_cast<size_t>(attribute.nColumn)]));
            strOut += CXmlDocument::EscapeMarkup(strValue.c_str());
        }
        strOut += '"';
    }
    strOut += "/>\r\n";
}

bool CXmlRowSink::BeforeFirstRow(std::string_view& /*text*/) { return Write(kListStart); }

bool CXmlRowSink::EndRows() { return Write(HaveRows() ? kListEnd : kEmptyList) && Flush(); }
