#include "framework/Sink.h"

#include "support/TempDir.h"
#include "framework/Platform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(AtomicFileSink, ReplacesOnlyWithACompleteFile)
{
    CTempDir dir;
    const std::string path = dir.Write("out.txt", "old contents");
    ::chmod(path.c_str(), 0640);
    {
        CAtomicFileSink sink(path);
        ASSERT_TRUE(sink.Open());
        ASSERT_TRUE(sink.Write("new"));
        EXPECT_EQ(CTempDir::Read(path), "old contents"); // not yet committed
        // Abandoned without Commit: the old file stays, no temporary is left.
    }
    EXPECT_EQ(CTempDir::Read(path), "old contents");
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++nFiles;
    }
    EXPECT_EQ(nFiles, 1u);

    CString strError;
    ASSERT_TRUE(WriteFileAtomically(path, "new contents", strError)) << strError;
    EXPECT_EQ(CTempDir::Read(path), "new contents");
    struct stat st
    {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFileSink, FailuresNameTheFileAndTheReason)
{
    CString strError;
    EXPECT_FALSE(WriteFileAtomically("/nonexistent-dir/out.txt", "x", strError));
    EXPECT_NE(strError.find("/nonexistent-dir/out.txt"), CString::npos);
    EXPECT_NE(strError.find("No such file"), CString::npos);

    CTempDir dir;
    EXPECT_FALSE(WriteFileAtomically(dir.Path().string(), "x", strError));
    EXPECT_NE(strError.find("directory"), CString::npos);

    // A device is written in place, never replaced by a regular file.
    EXPECT_FALSE(WriteFileAtomically("/dev/full", std::string(1 << 16, 'x'), strError));
    struct stat st
    {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(AtomicFileSink, WritesThroughASymlink)
{
    CTempDir dir;
    const std::string target = dir.Write("real.txt", "old");
    const std::string link = dir.File("link.txt");
    std::filesystem::create_symlink(target, link);
    CString strError;
    ASSERT_TRUE(WriteFileAtomically(link, "new", strError)) << strError;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(CTempDir::Read(target), "new");
}

TEST(FileFilter, SplitsAtBars)
{
    const auto single = ParseFileFilter("Text Files (*.txt)||");
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].strDescription, "Text Files (*.txt)");
    EXPECT_EQ(single[0].strPattern, "");

    const auto pairs = ParseFileFilter("A (*.a)|*.a|B (*.b)|*.b||");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[1].strDescription, "B (*.b)");
    EXPECT_EQ(pairs[1].strPattern, "*.b");
}

namespace {

// Records what reaches it and fails from a given write on.
class CCountingSink final : public ISink
{
public:
    explicit CCountingSink(int nFailFrom = -1) : m_nFailFrom(nFailFrom) {}
    bool Write(std::string_view bytes) override
    {
        if (m_nFailFrom >= 0 && m_nWrites >= m_nFailFrom)
            return false;
        ++m_nWrites;
        m_strText.append(bytes);
        return true;
    }
    CString GetError() const override { return "full"; }

    int m_nFailFrom;
    int m_nWrites = 0;
    CString m_strText;
};

} // namespace

TEST(BufferedSink, TextModeAndBackgroundWritesGiveTheSameBytes)
{
    // Many small pieces through a small buffer, in the calling thread and
    // through the background writer: the same bytes, in order, LF as CR LF.
    std::string expected;
    for (bool bBackground : {false, true}) {
        CCountingSink target;
        {
            CBufferedSink out(target, true, 64, bBackground);
            for (int i = 0; i < 2000; ++i) {
                ASSERT_TRUE(out.Write("row " + std::to_string(i)));
                ASSERT_TRUE(out.Put('\n'));
            }
            ASSERT_TRUE(out.Flush());
        }
        if (!bBackground)
            expected = target.m_strText;
        EXPECT_GT(target.m_nWrites, 100);
        EXPECT_EQ(target.m_strText, expected);
    }
    EXPECT_EQ(expected.substr(0, 12), "row 0\r\nrow 1");
}

TEST(BufferedSink, AFailedWriteIsReportedAndNothingFollowsIt)
{
    for (bool bBackground : {false, true}) {
        CCountingSink target(3);
        CBufferedSink out(target, false, 16, bBackground);
        bool bOk = true;
        for (int i = 0; i < 200 && bOk; ++i)
            bOk = out.Write("0123456789");
        EXPECT_FALSE(bOk && out.Flush()) << bBackground;
        EXPECT_FALSE(out.Flush());
        EXPECT_EQ(target.m_nWrites, 3);
    }
}
