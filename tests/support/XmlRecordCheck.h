#pragma once
// Checks that an XML document's element records agree with its text, for
// the tests and the fuzz targets.

#include "xml/XmlDocument.h"

#include <string>

namespace xmlcheck {

enum class ECheck {
    // The tree links (parents, siblings, the first child's back link to the
    // last one), depths, first-child flags, each element framed by "<" and
    // ">" ("/>" or an end tag "</...>") and lying inside its parent's
    // content after its previous sibling, every record reached once.
    Structure,
    // Besides: the scanner reads every start and end tag exactly as its
    // record says, end tags close their start tags, and between elements it
    // finds only text, white space, comments, processing instructions,
    // CDATA and document types. A new parse of such a text rebuilds the
    // same records.
    Text,
};

// Empty when the records agree with the text; otherwise what disagrees.
std::string CheckRecords(const CXmlDocument& doc, ECheck level);

// The elements in document order, one line each with offset, size, tag
// lengths, depth and flags, indented by depth: two documents with the same
// tree give the same dump whatever their record indices.
std::string DumpTree(const CXmlDocument& doc);

} // namespace xmlcheck
