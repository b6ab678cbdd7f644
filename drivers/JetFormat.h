#pragma once
// The numbers of the Jet 4 database format (Access 2000 and later .mdb
// files) that the Access stand-in writes: page kinds, the places of the
// fields inside each kind of page, and the limits of the format. Every
// multi-byte number in the file is little-endian.

#include <cstdint>

namespace jet {

// A Jet 4 file is a run of 4096-byte pages; page 0 describes the database.
constexpr uint32_t kPageSize = 4096;
// Jet 4 files are limited to 2 GB.
constexpr uint32_t kMaxPages = 0x80000000u / kPageSize;

// The first byte of every page names its kind; the second is always 1.
constexpr uint8_t kPageDatabase = 0x00;
constexpr uint8_t kPageData = 0x01;
constexpr uint8_t kPageTableDef = 0x02;
constexpr uint8_t kPageUsageMap = 0x05;
constexpr uint8_t kPageMarker = 0x01;

// Page 0, the database definition page.
constexpr uint32_t kHeaderMagicAt = 0x04;   // "Standard Jet DB" and a NUL
constexpr uint32_t kHeaderVersionAt = 0x14; // 4 bytes
constexpr uint32_t kJetVersion4 = 1;
// The bytes from here on are RC4-encrypted with a fixed key.
constexpr uint32_t kHeaderMaskedAt = 0x18;
constexpr uint32_t kHeaderMaskedSize = 128;
constexpr uint32_t kHeaderMaskKey = 0x6b39dac7;
constexpr uint32_t kHeaderCodePageAt = 0x3C;    // 2 bytes
constexpr uint32_t kHeaderDatabaseKeyAt = 0x3E; // 4 bytes; 0: pages are not encrypted
constexpr uint32_t kHeaderPasswordAt = 0x42;    // 40 bytes of UCS-2
constexpr uint32_t kHeaderPasswordSize = 40;
constexpr uint32_t kHeaderSortOrderAt = 0x6E; // 4 bytes
constexpr uint32_t kHeaderCreatedAt = 0x72;   // 8 bytes, a date as a double
constexpr uint16_t kCodePageWestern = 1252;
// The "General" text sort order (locale 1033, version 0).
constexpr uint16_t kSortGeneral = 0x0409;

// Data pages: a header, the table of row offsets after it, and the rows
// themselves from the end of the page towards the table.
constexpr uint32_t kDataFreeSpaceAt = 2;   // 2 bytes
constexpr uint32_t kDataTableDefAt = 4;    // 4 bytes: the owner's first definition page
constexpr uint32_t kDataRowCountAt = 12;   // 2 bytes
constexpr uint32_t kDataRowOffsetsAt = 14; // 2 bytes per row
constexpr uint32_t kRowOffsetSize = 2;
// A row is addressed by page and a one-byte row number.
constexpr uint32_t kMaxRowsPerPage = 255;
// The longest row a data page takes.
constexpr uint32_t kMaxRowSize = 4060;

// Table definition pages: an 8-byte header on every page of the chain; the
// definition itself runs on from one page to the next behind the headers.
constexpr uint32_t kTableDefFreeSpaceAt = 2; // 2 bytes: free space less 8
constexpr uint32_t kTableDefNextPageAt = 4;  // 4 bytes; 0 on the last page
constexpr uint32_t kTableDefHeaderSize = 8;
// Places inside the definition, counted from the start of its first page.
constexpr uint32_t kTdefLengthAt = 8;
constexpr uint32_t kTdefMagicAt = 12;
constexpr uint32_t kTdefRowCountAt = 16;
constexpr uint32_t kTdefAutoNumberFlagAt = 24;
constexpr uint32_t kTdefTableTypeAt = 40;
constexpr uint32_t kTdefMaxColumnsAt = 41;
constexpr uint32_t kTdefVarColumnsAt = 43;
constexpr uint32_t kTdefColumnCountAt = 45;
constexpr uint32_t kTdefIndexCountAt = 47;     // 4 bytes
constexpr uint32_t kTdefRealIndexCountAt = 51; // 4 bytes
constexpr uint32_t kTdefUsedPagesAt = 55;      // 4 bytes: row pointer of the usage map
constexpr uint32_t kTdefFreePagesAt = 59;      // 4 bytes: row pointer of the free-space map
constexpr uint32_t kTdefColumnsAt = 63;
// A value found in the definitions of files made by Access, repeated in
// every column entry.
constexpr uint32_t kTdefMagic = 0x0659;
constexpr uint8_t kTableUser = 0x4E;
constexpr uint8_t kTableSystem = 0x53;
constexpr uint8_t kAutoNumberFlag = 0x01;
// The list of long-value column maps ends with this column number.
constexpr uint16_t kTdefEndOfList = 0xFFFF;

// One 25-byte column entry.
constexpr uint32_t kColumnEntrySize = 25;
constexpr uint32_t kColTypeAt = 0;
constexpr uint32_t kColMagicAt = 1;
constexpr uint32_t kColNumberAt = 5;
constexpr uint32_t kColVarIndexAt = 7;
constexpr uint32_t kColRowNumberAt = 9;
constexpr uint32_t kColSortOrderAt = 11;
constexpr uint32_t kColFlagsAt = 15;
constexpr uint32_t kColExtraFlagsAt = 16;
constexpr uint32_t kColFixedOffsetAt = 21;
constexpr uint32_t kColLengthAt = 23;
constexpr uint8_t kColFlagFixed = 0x01;
constexpr uint8_t kColFlagNullable = 0x02;
constexpr uint8_t kColExtraCompressed = 0x01; // text may be stored compressed
constexpr uint32_t kMaxColumns = 255;

// Column types.
constexpr uint8_t kTypeInt = 0x03;
constexpr uint8_t kTypeLong = 0x04;
constexpr uint8_t kTypeDateTime = 0x08;
constexpr uint8_t kTypeText = 0x0A;
constexpr uint8_t kTypeLongBinary = 0x0B;
// Text(255) holds 255 UCS-2 characters: its length counts bytes.
constexpr uint32_t kTextChars = 255;
constexpr uint16_t kTextBytes = kTextChars * 2;

// Usage maps are rows of a data page. An inline map carries its first page
// and a bitmap in a 64-byte row; a reference map lists the pages of kind
// kPageUsageMap that carry the bitmaps, each for a fixed run of pages.
constexpr uint8_t kMapInline = 0x00;
constexpr uint8_t kMapReference = 0x01;
constexpr uint32_t kInlineMapSize = 64;
constexpr uint32_t kInlineMapBitsAt = 5;
constexpr uint32_t kInlineMapPages = (kInlineMapSize - kInlineMapBitsAt) * 8;
constexpr uint32_t kMapPageBitsAt = 4;
constexpr uint32_t kMapPagePages = (kPageSize - kMapPageBitsAt) * 8;

// The system catalog MSysObjects has its definition on page 2.
constexpr uint32_t kCatalogTableDefPage = 2;

// A row is named by its page and row number in one 4-byte value.
constexpr uint32_t RowPointer(uint32_t nPage, uint32_t nRow) { return (nPage << 8) | nRow; }

} // namespace jet
