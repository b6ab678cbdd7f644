#pragma once
// The XML data file that the list export writes: an XML declaration and a
// root element carrying the file-information block.

#include "framework/StringTypes.h"
#include "xml/XmlDocument.h"

#include <string_view>

class CXmlDataFile
{
public:
    CXmlDataFile() = default;
    virtual ~CXmlDataFile() = default;
    CXmlDataFile(const CXmlDataFile&) = delete;
    CXmlDataFile& operator=(const CXmlDataFile&) = delete;

    // Sets the declaration, adds the root element pszRootName and gives it
    // the attributes version, vendor, url, mail, created (the local time
    // now, by the platform clock) and comments. Returns the result of
    // parsing the declaration alone, which holds no element: false.
    bool InitDocument(const char* pszRootName);
    // A copy of the document text.
    CString GetDocumentText() const { return m_doc.GetText(); }
    // The document text without a copy; the document is empty after.
    CString TakeDocumentText() { return m_doc.TakeText(); }
    // The document, for the caller that adds the list under the root.
    CXmlDocument& GetDocument() { return m_doc; }

private:
    CXmlDocument m_doc;
};

// The attribute name for a column title: the title (at most 255 bytes) with
// surrounding white space removed and spaces turned into "_", then made a
// valid XML name that no namespace-aware reader takes for a prefixed name
// or a namespace declaration. A byte that cannot stand in a name becomes
// "_"; a name that cannot start with its first character gets a leading
// "_"; an empty name becomes "_". Well-formed UTF-8 name characters stay.
CString XmlAttributeName(std::string_view strTitle);

// The attribute value for a cell text (at most 255 bytes): control bytes,
// bytes outside well-formed UTF-8 and the two non-characters U+FFFE and
// U+FFFF, which XML does not allow, become spaces; surrounding white space
// is removed. The document escapes markup when it writes the value.
CString XmlAttributeValue(std::string_view strCell);
