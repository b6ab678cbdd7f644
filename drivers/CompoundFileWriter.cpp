#include "CompoundFileWriter.h"

#include "LittleEndian.h"
#include "framework/File.h"

#include <stdexcept>

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kIdsPerSector = kSectorSize / 4;
constexpr std::uint32_t kHeaderDifatIds = 109;
constexpr std::uint32_t kDirectoryEntrySize = 128;
constexpr std::uint32_t kMaxNameChars = 31;
constexpr size_t kBufferSize = size_t{1} << 16;

// Header fields of a version 3 file.
const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint16_t kMinorVersion = 0x003E;
constexpr std::uint16_t kMajorVersion = 0x0003;
constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint16_t kSectorShift = 9;     // 512-byte sectors
constexpr std::uint16_t kMiniSectorShift = 6; // 64-byte mini sectors

// Markers in the allocation tables and the directory.
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// Directory entry kinds and the red-black tree's colour.
constexpr std::uint8_t kUnusedEntry = 0;
constexpr std::uint8_t kStreamEntry = 2;
constexpr std::uint8_t kRootEntry = 5;
constexpr std::uint8_t kBlack = 1;

std::uint32_t CeilDiv(std::uint64_t n, std::uint64_t d)
{
    return static_cast<std::uint32_t>((n + d - 1) / d);
}

// Where everything goes, in sectors after the header: the allocation table
// (FAT), the sectors that list FAT sectors beyond the header's 109 (DIFAT),
// the directory, the mini stream's allocation table, and the data.
struct CLayout
{
    bool bMini = false;
    std::uint32_t nMiniSectors = 0;
    std::uint32_t nMiniFatSectors = 0;
    std::uint32_t nDataSectors = 0;
    std::uint32_t nFatSectors = 0;
    std::uint32_t nDifatSectors = 0;

    std::uint32_t DirectorySector() const { return nFatSectors + nDifatSectors; }
    std::uint32_t MiniFatSector() const { return DirectorySector() + 1; }
    std::uint32_t FirstDataSector() const { return MiniFatSector() + nMiniFatSectors; }
    std::uint32_t SectorCount() const { return FirstDataSector() + nDataSectors; }

    // The FAT entry of sector i: what kind it is, or the next in its chain.
    std::uint32_t FatEntry(std::uint32_t i) const
    {
        if (i < nFatSectors)
            return kFatSector;
        if (i < DirectorySector())
            return kDifatSector;
        if (i >= SectorCount())
            return kFreeSector;
        if (i < FirstDataSector() || i + 1 == SectorCount())
            return kEndOfChain;
        return i + 1;
    }
};

CLayout MakeLayout(std::uint64_t nSize)
{
    CLayout layout;
    layout.bMini = nSize < kMiniStreamCutoff;
    if (layout.bMini) {
        layout.nMiniSectors = CeilDiv(nSize, kMiniSectorSize);
        layout.nMiniFatSectors = layout.nMiniSectors > 0 ? 1 : 0;
        layout.nDataSectors =
            CeilDiv(std::uint64_t{layout.nMiniSectors} * kMiniSectorSize, kSectorSize);
    } else {
        layout.nDataSectors = CeilDiv(nSize, kSectorSize);
    }
    // The FAT covers itself and the DIFAT, which grows with it.
    layout.nFatSectors = 1;
    for (;;) {
        layout.nDifatSectors = layout.nFatSectors > kHeaderDifatIds
            ? CeilDiv(layout.nFatSectors - kHeaderDifatIds, kIdsPerSector - 1)
            : 0;
        const std::uint32_t nNeeded = CeilDiv(layout.SectorCount(), kIdsPerSector);
        if (nNeeded <= layout.nFatSectors)
            return layout;
        layout.nFatSectors = nNeeded;
    }
}

CString MakeHeader(const CLayout& layout)
{
    CString out(kSignature, 8);
    out.append(16, '\0'); // class id
    le::PutU16(out, kMinorVersion);
    le::PutU16(out, kMajorVersion);
    le::PutU16(out, kByteOrderMark);
    le::PutU16(out, kSectorShift);
    le::PutU16(out, kMiniSectorShift);
    out.append(6, '\0');
    le::PutU32(out, 0); // directory sectors: always 0 in version 3
    le::PutU32(out, layout.nFatSectors);
    le::PutU32(out, layout.DirectorySector());
    le::PutU32(out, 0); // transaction signature
    le::PutU32(out, kMiniStreamCutoff);
    le::PutU32(out, layout.nMiniFatSectors > 0 ? layout.MiniFatSector() : kEndOfChain);
    le::PutU32(out, layout.nMiniFatSectors);
    le::PutU32(out, layout.nDifatSectors > 0 ? layout.nFatSectors : kEndOfChain);
    le::PutU32(out, layout.nDifatSectors);
    for (std::uint32_t i = 0; i < kHeaderDifatIds; ++i)
        le::PutU32(out, i < layout.nFatSectors ? i : kFreeSector);
    return out;
}

void PutEntry(CString& out, const CString& strName, std::uint8_t nType, std::uint32_t nChild,
              std::uint32_t nStart, std::uint64_t nSize)
{
    const size_t nAt = out.size();
    for (const char ch : strName)
        le::PutU16(out, static_cast<unsigned char>(ch));
    out.resize(nAt + 64, '\0');
    le::PutU16(out, strName.empty() ? 0 : static_cast<std::uint32_t>(strName.size() + 1) * 2);
    le::PutU8(out, nType);
    le::PutU8(out, nType == kUnusedEntry ? 0 : kBlack);
    le::PutU32(out, kNoStream); // left sibling
    le::PutU32(out, kNoStream); // right sibling
    le::PutU32(out, nChild);
    out.append(16 + 4 + 8 + 8, '\0'); // class id, state bits, creation and change times
    le::PutU32(out, nStart);
    le::PutU64(out, nSize);
}

CString MakeDirectory(const CLayout& layout, const CString& strName, std::uint64_t nSize)
{
    CString out;
    // The root's own stream is the mini stream, when there is one.
    const bool bMiniStream = layout.bMini && nSize > 0;
    PutEntry(out, "Root Entry", kRootEntry, 1, bMiniStream ? layout.FirstDataSector() : kEndOfChain,
             bMiniStream ? std::uint64_t{layout.nMiniSectors} * kMiniSectorSize : 0);
    std::uint32_t nStart = layout.FirstDataSector();
    if (layout.bMini)
        nStart = nSize > 0 ? 0 : kEndOfChain;
    PutEntry(out, strName, kStreamEntry, kNoStream, nStart, nSize);
    while (out.size() < kSectorSize)
        PutEntry(out, "", kUnusedEntry, kNoStream, 0, 0);
    return out;
}

} // namespace

void CCompoundFileWriter::Begin(const CString& strName, std::uint64_t nSize)
{
    if (strName.empty() || strName.size() > kMaxNameChars || nSize > kMaxStreamSize)
        throw std::logic_error("CCompoundFileWriter::Begin: name or size out of range");
    const CLayout layout = MakeLayout(nSize);
    m_nStreamSize = nSize;
    m_nWritten = 0;
    m_nSectorBytes = std::uint64_t{layout.nDataSectors} * kSectorSize;
    m_strBuffer.clear();
    m_strBuffer.reserve(kBufferSize);

    Put(MakeHeader(layout));
    CString strSector;
    for (std::uint32_t nSector = 0; nSector < layout.nFatSectors; ++nSector) {
        strSector.clear();
        for (std::uint32_t i = 0; i < kIdsPerSector; ++i)
            le::PutU32(strSector, layout.FatEntry(nSector * kIdsPerSector + i));
        Put(strSector);
    }
    for (std::uint32_t nSector = 0; nSector < layout.nDifatSectors; ++nSector) {
        strSector.clear();
        for (std::uint32_t i = 0; i + 1 < kIdsPerSector; ++i) {
            const std::uint32_t nFat = kHeaderDifatIds + nSector * (kIdsPerSector - 1) + i;
            le::PutU32(strSector, nFat < layout.nFatSectors ? nFat : kFreeSector);
        }
        le::PutU32(strSector,
                   nSector + 1 < layout.nDifatSectors ? layout.nFatSectors + nSector + 1
                                                      : kEndOfChain);
        Put(strSector);
    }
    Put(MakeDirectory(layout, strName, nSize));
    if (layout.nMiniFatSectors > 0) {
        strSector.clear();
        for (std::uint32_t i = 0; i < kIdsPerSector; ++i) {
            std::uint32_t nEntry = kFreeSector;
            if (i < layout.nMiniSectors)
                nEntry = i + 1 < layout.nMiniSectors ? i + 1 : kEndOfChain;
            le::PutU32(strSector, nEntry);
        }
        Put(strSector);
    }
}

void CCompoundFileWriter::Write(std::string_view bytes)
{
    m_nWritten += bytes.size();
    Put(bytes);
}

void CCompoundFileWriter::End()
{
    if (m_nWritten != m_nStreamSize)
        throw std::logic_error("CCompoundFileWriter::End: the stream is not of the size given");
    Put(CString(static_cast<size_t>(m_nSectorBytes - m_nWritten), '\0'));
    Flush();
}

void CCompoundFileWriter::Put(std::string_view bytes)
{
    if (m_strBuffer.size() + bytes.size() > kBufferSize)
        Flush();
    if (bytes.size() >= kBufferSize)
        m_file.Write(bytes.data(), bytes.size());
    else
        m_strBuffer.append(bytes);
}

void CCompoundFileWriter::Flush()
{
    m_file.Write(m_strBuffer.data(), m_strBuffer.size());
    m_strBuffer.clear();
}
