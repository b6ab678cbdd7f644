#include "HelpViewer.h"

#include "framework/qt/QtString.h"

#include "HelpWindow.h"

#include <QApplication>
#include <QFileInfo>

CHelpViewer::~CHelpViewer() { delete m_pWindow.data(); }

CHelpWindow* CHelpViewer::Window() const { return m_pWindow.data(); }

CString CHelpViewer::GuidePathFor(const CString& strHelpPath)
{
    CString strBase = strHelpPath;
    const size_t nSlash = strBase.rfind('/');
    const size_t nDot = strBase.rfind('.');
    if (nDot != CString::npos && (nSlash == CString::npos || nDot > nSlash))
        strBase.erase(nDot);
    return strBase + "-help/index.html";
}

bool CHelpViewer::ShowHelp(const CString& strHelpPath)
{
    const CString strGuide = GuidePathFor(strHelpPath);
    if (!QFileInfo(ToQt(strGuide)).isFile()) {
        platform::MessageBox().Show("The user guide was not found. It was looked for at " +
                                        strGuide + ".",
                                    EMessageIcon::Exclamation);
        return false;
    }

    // A modal window blocks every window outside its own family, so the help
    // window is made a child of the window that has the user's attention.
    QWidget* pOwner = QApplication::activeModalWidget();
    if (pOwner == nullptr)
        pOwner = QApplication::activeWindow();
    if (pOwner != nullptr && pOwner == m_pWindow.data())
        pOwner = m_pWindow->parentWidget();
    if (m_pWindow.isNull()) {
        m_pWindow = new CHelpWindow(pOwner);
    } else if (m_pWindow->parentWidget() != pOwner && pOwner != nullptr) {
        const QRect geometry = m_pWindow->geometry();
        m_pWindow->setParent(pOwner, Qt::Window);
        m_pWindow->setGeometry(geometry);
    }
    m_pWindow->OpenContents(strGuide);
    m_pWindow->show();
    m_pWindow->raise();
    m_pWindow->activateWindow();
    return true;
}
