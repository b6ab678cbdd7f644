#include "engine/TextFileReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

namespace {

std::string DataFile(const std::string& strName)
{
    return std::string(KORVANE_TEST_DATA_DIR) + "/encodings/" + strName;
}

struct CEncodingCase
{
    const char* pszFile;
    int nEncoding;
    const char* pszText; // ReadAll with CR LF, as UTF-8
};

// The file read line by line, as the reader's own rules put it, with
// strSep after every line but the last.
CString JoinedLineByLine(const std::string& path, const CString& strSep)
{
    CTextFileReader lines(path);
    CString joined;
    CString line;
    while (!lines.IsEOF()) {
        if (lines.ReadLine(line)) {
            joined += line;
            if (!lines.IsEOF())
                joined += strSep;
        }
    }
    return joined;
}

} // namespace

TEST(TextFileReader, EncodingMatrix)
{
    const CEncodingCase cases[] = {
        {"ansi_cp1252.txt", CTextFileReader::ANSI,
         "caf\xC3\xA9\r\nna\xC3\xAFve \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\r\n"},
        {"utf8_nobom.txt", CTextFileReader::ANSI,
         "caf\xC3\xA9\r\n\xE2\x82\xAC \xF0\x9F\x98\x80\r\n"},
        {"utf8_bom.txt", CTextFileReader::UTF8, "x\r\ny \xF0\x9F\x98\x80 \xC3\xA9"},
        {"utf16le.txt", CTextFileReader::UTF16_LE, "x\r\ny \xF0\x9F\x98\x80 \xC3\xA9"},
        {"utf16be.txt", CTextFileReader::UTF16_BE, "x\r\ny \xF0\x9F\x98\x80 \xC3\xA9"},
        // A malformed sequence gives U+FFFD and does not swallow the byte
        // after it; a sequence cut off by the end of the file is dropped.
        {"utf8_bom_malformed.txt", CTextFileReader::UTF8,
         "a\xEF\xBF\xBD(b\r\n\xEF\xBF\xBD"
         "c"},
        {"utf16le_lone_surrogate.txt", CTextFileReader::UTF16_LE,
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD"
         "c"},
        {"empty.txt", CTextFileReader::ANSI, ""},
        {"bom_only_utf8.txt", CTextFileReader::UTF8, ""},
        {"bom_only_utf16le.txt", CTextFileReader::UTF16_LE, ""},
        {"one_byte.txt", CTextFileReader::ANSI, "x"},
        {"ef_bb_not_bom.txt", CTextFileReader::ANSI, "\xC3\xAF\xC2\xBBz"},
    };
    for (const CEncodingCase& c : cases) {
        CTextFileReader reader(DataFile(c.pszFile));
        ASSERT_TRUE(reader.IsOpen()) << c.pszFile;
        EXPECT_EQ(reader.GetEncoding(), c.nEncoding) << c.pszFile;
        CString text = "old";
        EXPECT_TRUE(reader.ReadAll(text, "\r\n")) << c.pszFile;
        EXPECT_EQ(text, c.pszText) << c.pszFile;
    }
}

TEST(TextFileReader, LineEnds)
{
    // A file and its text.
    const std::pair<const char*, const char*> cases[] = {
        {"first_line_empty.txt", "a\r\nb"},
        {"two_first_lines_empty.txt", "\r\na"},
        {"line_ends_mixed.txt", "a\r\nb\r\nc\r\nd\r\n\r\ne"},
    };
    for (const auto& [pszFile, pszText] : cases) {
        CTextFileReader reader(DataFile(pszFile));
        CString text;
        ASSERT_TRUE(reader.ReadAll(text, "\r\n"));
        EXPECT_EQ(text, pszText) << pszFile;
    }
}

TEST(TextFileReader, ReadLineOneAtATime)
{
    CTempDir dir;
    CTextFileReader reader(dir.Write("lines.txt", "one\r\ntwo\n"));
    CString line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "two");
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(reader.IsEOF());
}

TEST(TextFileReader, LongLinesAndBufferBoundaries)
{
    CTempDir dir;
    // Lines that straddle the read-ahead buffer, CR LF split across it too.
    std::string content;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string line(static_cast<size_t>(i % 97) * 13 + 1,
                               static_cast<char>('a' + i % 26));
        content += line + (i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? "\n" : "\r"));
        expected += line + "\r\n";
    }
    const std::string huge(200000, 'z');
    content += huge;
    expected += huge;
    CTextFileReader reader(dir.Write("big.txt", content));
    CString text;
    ASSERT_TRUE(reader.ReadAll(text, "\r\n"));
    EXPECT_EQ(text, expected);

    // The same through UTF-16, which takes the per-character road.
    std::string utf16 = "\xFF\xFE";
    for (const char ch : content.substr(0, 50000)) {
        utf16.push_back(ch);
        utf16.push_back('\0');
    }
    CTextFileReader wide(dir.Write("big16.txt", utf16));
    CString wideText;
    ASSERT_TRUE(wide.ReadAll(wideText, "\r\n"));
    CTextFileReader narrow(dir.Write("small.txt", content.substr(0, 50000)));
    CString narrowText;
    ASSERT_TRUE(narrow.ReadAll(narrowText, "\r\n"));
    EXPECT_EQ(wideText, narrowText);
}

TEST(TextFileReader, Cp1252DecisionIsForTheWholeFile)
{
    CTempDir dir;
    // Valid UTF-8 for a long stretch, then one stray byte at the very end:
    // the whole file is read as Windows-1252.
    std::string content(100000, 'a');
    content += "\xC3\xA9\r\n\xE9";
    CTextFileReader reader(dir.Write("late.txt", content));
    CString text;
    ASSERT_TRUE(reader.ReadAll(text, "\r\n"));
    EXPECT_EQ(text, std::string(100000, 'a') + "\xC3\x83\xC2\xA9\r\n\xC3\xA9");
}

TEST(TextFileReader, MissingFileAndOtherSeparators)
{
    CTextFileReader missing("/nonexistent/file.txt");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.IsEOF());
    CString text = "kept";
    EXPECT_FALSE(missing.ReadAll(text, "\r\n"));
    EXPECT_EQ(text, "kept");
    EXPECT_NE(missing.GetError().find("No such file"), CString::npos);

    CTempDir dir;
    CTextFileReader reader(dir.Write("sep.txt", "a\r\nb\r\n"));
    ASSERT_TRUE(reader.ReadAll(text, "|"));
    EXPECT_EQ(text, "a|b|");

    CTextFileReader folder(dir.Path().string());
    EXPECT_FALSE(folder.IsOpen());
}

TEST(TextFileReader, WholeFileReadAgreesWithLineByLine)
{
    CTempDir dir;
    std::mt19937 rng(7);
    const std::string alphabet =
        std::string("\r\n\r\nab \t") + "\xC3\xA9\x80\xFF" + std::string(1, '\0');
    for (int round = 0; round < 300; ++round) {
        std::string content;
        const int nLength = std::uniform_int_distribution<int>(0, 60)(rng);
        for (int i = 0; i < nLength; ++i)
            content.push_back(
                alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)]);
        const std::string path = dir.Write("r" + std::to_string(round) + ".txt", content);
        for (const char* pszSep : {"\r\n", "|", ""}) {
            CTextFileReader whole(path);
            CString text;
            ASSERT_TRUE(whole.ReadAll(text, pszSep));

            EXPECT_EQ(text, JoinedLineByLine(path, pszSep)) << "round " << round;
        }
    }
}

TEST(TextFileReader, WholeFileReadAcrossLargeBlocks)
{
    // Line ends that straddle the reader's 1 MiB blocks, a line end as the
    // very first byte, and a stray byte far past the first block that turns
    // the whole file into Windows-1252.
    CTempDir dir;
    const size_t nBlock = size_t{1} << 20;
    for (const char* pszTail : {"\r\nb\r", "\rb\n", "\nb\r\n"}) {
        for (bool bStray : {false, true}) {
            std::string content = "\r\n";
            content += std::string(nBlock - 3, 'a');
            content += pszTail;
            content += std::string(nBlock, 'c') + "\xC3\xA9";
            if (bStray)
                content += "\xE9";
            content += "\n";
            const std::string path = dir.Write("big.txt", content);
            CTextFileReader whole(path);
            CString text;
            ASSERT_TRUE(whole.ReadAll(text, "\r\n"));
            const CString expected = JoinedLineByLine(path, "\r\n");
            EXPECT_EQ(text.size(), expected.size()) << pszTail << bStray;
            EXPECT_TRUE(text == expected) << pszTail << bStray;
            EXPECT_EQ(text.find("\xC3\x83\xC2\xA9") != CString::npos, bStray);
        }
    }
}
