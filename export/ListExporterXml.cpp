// The XML document of the list: a declaration, the root "dataroot" with
// the file-information block, and one "Row" per list row under "ListData",
// its cells as attributes named after the column titles.
#include "ListExporter.h"

#include "XmlDataFile.h"
#include "framework/ListCtrl.h"
#include "framework/Sink.h"

#include <string>
#include <vector>

CString CListExporter::GetXmlText(const CListCtrl& list) const
{
    CXmlDataFile file;
    file.InitDocument("dataroot");
    CXmlDocument& doc = file.GetDocument();
    doc.EnterElement();
    doc.AddElement("ListData");

    // The titles do not change while the document is built, so each is
    // turned into its attribute name once.
    std::vector<CString> names;
    names.reserve(static_cast<size_t>(list.GetColumnCount()));
    for (int i = 0; i < list.GetColumnCount(); ++i)
        names.push_back(XmlAttributeName(list.GetColumnCaption(i, CListCtrl::kTextBuffer)));

    for (int nRow = 0; nRow < list.GetItemCount(); ++nRow) {
        doc.AddChildElement("Row");
        for (size_t i = 0; i < names.size(); ++i) {
            const int nCol = static_cast<int>(i);
            if (nCol == 0) {
                const int nImage = list.GetItemImage(nRow);
                doc.SetChildAttribute("image", nImage < 0 ? "-1" : std::to_string(nImage).c_str());
            }
            // Two columns with one name give one attribute, the later
            // column's value; a column named "image" replaces the image.
            const CString strValue =
                XmlAttributeValue(list.GetItemTextBounded(nRow, nCol, CListCtrl::kTextBuffer));
            doc.SetChildAttribute(names[i].c_str(), strValue.c_str());
        }
    }
    return file.TakeDocumentText();
}

int CListExporter::SaveAsXml(const CString& strPath, const CListCtrl& list, CString& strError) const
{
    // The text already ends its lines with CR LF and is stored byte for
    // byte; an existing file is replaced only by a complete new one.
    return WriteFileAtomically(strPath, GetXmlText(list), strError) ? 1 : 0;
}
