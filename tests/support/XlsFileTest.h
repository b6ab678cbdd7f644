#pragma once
// A test that writes .xls files and reads them back with xlrd, skipped where
// xlrd is missing. The writer's temporary files go to a folder of the test's
// own, m_strTmp, which it must leave empty.

#include "TempDir.h"
#include "XlsReaders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class CXlsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveXlrd())
            GTEST_SKIP() << "/usr/bin/python3 with xlrd is not available";
        std::filesystem::create_directory(m_strTmp);
    }

    CTempDir m_dir;
    const std::string m_strTmp = m_dir.File("tmp");
};
