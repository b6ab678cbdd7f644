#pragma once
// A file of Jet pages, written page by page at any place: the database file
// itself, or an unnamed scratch file that holds the data pages until the
// pages before them are known. Every failure throws CDatabaseException with
// a text that names the file and the reason.

#include "JetPage.h"
#include "framework/StringTypes.h"

#include <cstdint>

class CJetPageFile
{
public:
    // strDriver starts every error text ("[driver name]").
    explicit CJetPageFile(CString strDriver) : m_strDriver(std::move(strDriver)) {}
    virtual ~CJetPageFile();
    CJetPageFile(const CJetPageFile&) = delete;
    CJetPageFile& operator=(const CJetPageFile&) = delete;

    // Creates strPath, or empties the file there.
    void Create(const CString& strPath);
    // An unnamed file in the temporary folder (TMPDIR, else /tmp) that is
    // gone once closed.
    void CreateScratch();

    void WritePage(uint32_t nPage, const CJetPage& page);
    void ReadPage(uint32_t nPage, CJetPage& page) const;
    // Copies nCount pages from page nFrom of source to page nTo of this file.
    void CopyPages(const CJetPageFile& source, uint32_t nFrom, uint32_t nCount, uint32_t nTo);

    // Flushes the file to the disk and closes it.
    void Close();
    // Empties the file after a failure and closes it; never throws.
    void Discard() noexcept;
    bool IsOpen() const { return m_fd >= 0; }

private:
    [[noreturn]] void Fail(const CString& strDoing, int nErrno) const;

    CString m_strDriver;
    CString m_strPath; // the file, or the folder of a scratch file
    bool m_bScratch = false;
    int m_fd = -1;
};
