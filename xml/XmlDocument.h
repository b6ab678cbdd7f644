#pragma once
// An XML document held as one text plus an index of element records that
// point into it.
//
// The text is the document: every edit rewrites the text in place and
// corrects the records, so GetText is the finished output at any moment.
// The layout that the edits write is one element per line, each added
// element followed by CR LF, no indentation, childless elements as
// empty-element tags, and attributes in the order they were set.
//
// The parser is one forward pass that builds a record per element and
// checks that tags pair up and that there is exactly one root element. It
// validates no attribute syntax, decodes no references and interprets no
// encoding: offsets are byte offsets.
//
// Names given to the editing operations are written verbatim (callers make
// them valid XML names); values are escaped. A document is used by one
// thread at a time. Running out of memory raises std::bad_alloc.

#include "XmlElement.h"
#include "XmlScanner.h"

#include "framework/StringTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

class CXmlDocument
{
public:
    // Element records live in segments of this many records, so that
    // growing the index never moves more than one segment.
    static constexpr int32_t kSegmentRecords = 65536;

    // An empty document: no text, no element, parse error "Empty document".
    CXmlDocument();
    virtual ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Replaces the text with a copy of pszText (null gives an empty text)
    // and rebuilds the records from it. True when the text holds one root
    // element and parsed without error. On failure the text stays as given,
    // only record 0 exists, and GetParseError says what was wrong and where;
    // the editing operations work in both states. The position is cleared.
    bool SetText(const char* pszText);
    const CString& GetText() const { return m_strXml; }
    // The text, moved out without a copy; the document is then empty, as a
    // new one is.
    CString TakeText();
    // Empty after a good parse.
    const CString& GetParseError() const { return m_strParseError; }

    // --- editing ---
    // Every operation returns false and changes nothing when it cannot
    // apply; the parse error is never touched.

    // Adds an empty element after the current element, or, without one, as
    // the last child at the parent position; it becomes the current element
    // and the current child is cleared. At the document level it fails when
    // a root element exists.
    bool AddElement(const char* pszName);
    // Adds an empty element under the current element, after the current
    // child or, without one, as the last child; it becomes the current
    // child. Fails without a current element.
    bool AddChildElement(const char* pszName);
    // Steps down: the current element becomes the parent position, the
    // current child the current element. Fails without a current element.
    bool EnterElement();
    // Sets an attribute of the current element (SetChildAttribute: of the
    // current child). An attribute of that name that has a quoted value gets
    // the new value; otherwise the attribute is added at the end of the
    // start tag. An empty name stands for the element's first attribute
    // name, which the value then replaces.
    bool SetAttribute(const char* pszName, const char* pszValue);
    bool SetChildAttribute(const char* pszName, const char* pszValue);

    // The value with < & > ' " written as &lt; &amp; &gt; &apos; &quot;.
    static CString EscapeMarkup(const char* pszValue);

    // --- the index, for callers that inspect the structure ---
    // Records 0 to GetElementCount() - 1 are in use; 0 is the document.
    // GetElement takes an index in that range.
    int32_t GetElementCount() const { return m_iNextFree; }
    int32_t GetElementCapacity() const { return m_nElemCapacity; }
    const xml::XML_ELEMENT& GetElement(int32_t i) const { return Elem(i); }
    // The position: 0 means the document level, or none.
    int32_t GetParentElem() const { return m_iParentElem; }
    int32_t GetCurElem() const { return m_iCurElem; }
    int32_t GetChildElem() const { return m_iChildElem; }

private:
    xml::XML_ELEMENT& Elem(int32_t i) { return m_ppSegments[i >> 16][i & 0xFFFF]; }
    const xml::XML_ELEMENT& Elem(int32_t i) const { return m_ppSegments[i >> 16][i & 0xFFFF]; }

    // Makes room for at least nWanted records (0: half as many again as are
    // in use), adding at most one segment per call.
    void GrowElements(int32_t nWanted);
    void ResetPosition();
    void ClearDocumentRecord();
    bool ParseText();
    // The root element's index, 0 when there is none, -1 on an error; sets
    // m_strParseError in the last two cases.
    int32_t ParseElements(xml::XML_TOKEN& token);
    // One run of ParseElements.
    class CParser;

    bool HasRootElement() const;
    bool InsertElement(const char* pszName, bool bChild);
    struct CInsertPlan;
    // Where the new element named pszName goes and what text goes in; false
    // when the insertion cannot be made. Changes nothing.
    bool PlanInsert(const char* pszName, bool bChild, CInsertPlan& plan) const;
    // Makes the planned insertion: the text, the new record, which it
    // returns, and the records around it. The position is the caller's.
    int32_t ApplyInsert(const CInsertPlan& plan);
    // Where a new element under iParent after iAfter (0: as the last child)
    // puts its "<", and the sibling it is linked after (0: first child).
    void FindInsertPoint(int32_t iParent, int32_t iAfter, int32_t& nOffset,
                         int32_t& iSibling) const;
    void LinkElement(int32_t iParent, int32_t iAfter, int32_t i);
    void ReplaceText(int32_t nOffset, int32_t nCount, const CString& strInsert);
    // After the text changed length by nShift inside i's start tag or just
    // before i: moves i's descendants and every later element, and grows
    // every enclosing element and the document. i itself is the caller's.
    void ShiftFollowing(int32_t i, int32_t nShift);
    bool SetAttributeAt(int32_t iElem, const char* pszName, const char* pszValue);
    // With the cursor just after the element name of a start tag that ends
    // at nTagEnd, finds the attribute pszName with a quoted value and leaves
    // the cursor on the inside of that value.
    bool FindAttribute(xml::XML_TOKEN& token, const char* pszName, int32_t nTagEnd) const;
    CString GetElementName(int32_t i) const;
    // Where the element name of i's start tag ends: its first white space,
    // "/" or ">", the rule by which the scanner reads the name.
    int32_t ElementNameEnd(int32_t i) const;

    CString m_strXml;
    CString m_strParseError;
    int32_t m_iParentElem = 0;
    int32_t m_iCurElem = 0;
    int32_t m_iChildElem = 0;
    int32_t m_iNextFree = 1;
    std::unique_ptr<std::unique_ptr<xml::XML_ELEMENT[]>[]> m_ppSegments;
    int32_t m_nSegSlots = 0;
    int32_t m_nElemCapacity = 0;
};
