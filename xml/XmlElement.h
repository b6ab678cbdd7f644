#pragma once
// The element record of the XML document's index.

#include <cstdint>

namespace xml {

// The element is the first child of its parent.
inline constexpr uint32_t XEF_FIRSTCHILD = 0x0001;

// The largest values the packed fields hold. The parser rejects a text that
// needs more, and the editing operations refuse an edit that would.
inline constexpr int32_t kMaxStartTag = (1 << 22) - 1; // 4,194,303 bytes
inline constexpr int32_t kMaxEndTag = (1 << 10) - 1;   // 1,023 bytes
inline constexpr int32_t kMaxDepth = (1 << 16) - 1;    // 65,535 levels
// Offsets and sizes are 32-bit; the text stays below this length.
inline constexpr int32_t kMaxText = INT32_MAX - 1;

// One element: where it stands in the text and where it stands in the tree.
// Record 0 stands for the document; its cbEndTag is 1 so that it is never
// taken for an empty element.
struct XML_ELEMENT
{
    int32_t nOffset; // offset of the element's "<"
    // From that "<" to the ">" ending its end tag (or its empty tag),
    // inclusive; a line break after the element is not counted.
    int32_t nSize;
    uint32_t cbStartTag : 22; // length of the start tag, "<" to ">"
    uint32_t cbEndTag : 10;   // length of the end tag; 0 for an empty element
    uint32_t nDepth : 16;     // 0 for the root element
    uint32_t wFlags : 16;     // XEF_FIRSTCHILD
    int32_t iParent;          // 0 for the root element
    int32_t iFirstChild;      // 0 when there is none
    int32_t iNextSibling;     // 0 for the last child
    // For the first child, the index of the last child, so an only child
    // holds its own index.
    int32_t iPrevSibling;
};

static_assert(sizeof(XML_ELEMENT) == 32, "the two packed words must stay 32 bits each");

} // namespace xml
