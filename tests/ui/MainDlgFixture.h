#pragma once
// The main window of a test: created on the fake platform services before
// each test and closed after it.

#include "support/FakePlatform.h"
#include "ui/MainDlg.h"

#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

class CMainDlgFixture : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dlg.Create()); }
    void TearDown() override
    {
        m_dlg.close();
        QApplication::processEvents();
    }

    // The window's control of type T with the object name pszName.
    template <class T>
    T* Find(const char* pszName)
    {
        return m_dlg.findChild<T*>(QString::fromUtf8(pszName));
    }

    CFakePlatform m_fake;
    CMainDlg m_dlg;
};
