#include "drivers/CompoundFileWriter.h"

#include "support/TempDir.h"
#include "support/XlsReaders.h"
#include "framework/File.h"

#include <gtest/gtest.h>

#include <random>

// Sizes around the mini-stream cutoff and past the 109 allocation table
// sectors that the header lists, each written in uneven pieces of bytes
// that differ, so that a sector out of place shows.
TEST(CompoundFileWriter, ReadersFindTheStreamWhateverItsSize)
{
    if (!HaveXlrd())
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not available";
    CTempDir dir;
    std::mt19937 random(7);
    for (const std::uint64_t nSize : {0u, 1u, 4095u, 4096u, 70000u, 8u << 20}) {
        std::string strStream(nSize, '\0');
        for (char& ch : strStream)
            ch = static_cast<char>(random());
        const std::string strPath = dir.File("doc.bin");
        CFile file;
        ASSERT_TRUE(file.Open(strPath, CFile::modeCreate | CFile::modeWrite));
        CCompoundFileWriter writer(file);
        writer.Begin("Workbook", nSize);
        for (size_t nAt = 0, nPiece = 1; nAt < nSize; nAt += nPiece, nPiece = nPiece * 3 + 1) {
            nPiece = std::min<size_t>(nPiece, nSize - nAt);
            writer.Write(std::string_view(strStream).substr(nAt, nPiece));
        }
        writer.End();
        file.Close();
        EXPECT_EQ(std::filesystem::file_size(strPath) % 512, 0u) << nSize;
        EXPECT_EQ(RunReadXls("stream", {strPath, "Workbook", dir.Write("ref.bin", strStream)}),
                  "same\n")
            << nSize;
    }
}
