#include "QtPlatform.h"

#include "framework/qt/QtString.h"

#include "QtPrintDialog.h"

#include "framework/ProductInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

bool CQtClipboard::SetText(const CString& strText)
{
    QClipboard* pClipboard = QGuiApplication::clipboard();
    if (pClipboard == nullptr)
        return false;
    pClipboard->setText(ToQt(strText));
    return true;
}

CString CQtClipboard::GetText() const
{
    QClipboard* pClipboard = QGuiApplication::clipboard();
    return pClipboard != nullptr ? FromQt(pClipboard->text()) : CString();
}

void CQtMessageBox::Show(const CString& strText, EMessageIcon icon)
{
    QMessageBox::Icon qIcon = QMessageBox::Information;
    switch (icon) {
    case EMessageIcon::Stop:
        qIcon = QMessageBox::Critical;
        break;
    case EMessageIcon::Exclamation:
        qIcon = QMessageBox::Warning;
        break;
    case EMessageIcon::Question:
        qIcon = QMessageBox::Question;
        break;
    case EMessageIcon::Information:
        qIcon = QMessageBox::Information;
        break;
    }
    QMessageBox box(qIcon, QString::fromUtf8(product::kName), ToQt(strText), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

bool CQtMessageBox::AskYesNo(const CString& strQuestion)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(product::kName), ToQt(strQuestion),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("questionBox"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

EAddOrReplace CQtMessageBox::AskAddOrReplace(const CString& strQuestion)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(product::kName), ToQt(strQuestion),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("addOrReplaceBox"));
    QPushButton* pAdd = box.addButton(QStringLiteral("&Add"), QMessageBox::AcceptRole);
    pAdd->setObjectName(QStringLiteral("addButton"));
    QPushButton* pReplace = box.addButton(QStringLiteral("&Replace"), QMessageBox::DestructiveRole);
    pReplace->setObjectName(QStringLiteral("replaceButton"));
    QPushButton* pCancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(pAdd);
    box.setEscapeButton(pCancel);
    box.exec();
    if (box.clickedButton() == pAdd)
        return EAddOrReplace::Add;
    if (box.clickedButton() == pReplace)
        return EAddOrReplace::Replace;
    return EAddOrReplace::Cancel;
}

CFileDialogResult CQtFileDialog::Run(const CFileDialogRequest& request)
{
    QStringList filters;
    for (const CFileFilter& filter : ParseFileFilter(request.strFilter)) {
        QString entry = ToQt(filter.strDescription);
        // Qt reads the patterns from the parentheses at the end of an entry.
        const QString pattern = ToQt(filter.strPattern);
        if (!pattern.isEmpty() &&
            !entry.endsWith(QStringLiteral("(") + pattern + QStringLiteral(")")))
            entry += QStringLiteral(" (") + pattern + QStringLiteral(")");
        filters << entry;
    }
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.bOverwritePrompt);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.strInitialDir.empty()) {
        const QFileInfo start(ToQt(request.strInitialDir));
        if (start.isDir()) {
            dialog.setDirectory(start.absoluteFilePath());
        } else {
            dialog.setDirectory(start.absolutePath());
            if (start.exists())
                dialog.selectFile(start.fileName());
        }
    }
    CFileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.bOk = true;
    result.strPath = FromQt(dialog.selectedFiles().first());
    const qsizetype nIndex = filters.indexOf(dialog.selectedNameFilter());
    result.nFilterIndex = nIndex < 0 ? 1 : static_cast<int>(nIndex) + 1;
    return result;
}

CQtWebBrowser::CQtWebBrowser(QString strOpener) : m_strOpener(std::move(strOpener)) {}

void CQtWebBrowser::ReportNoBrowser(const CString& strUrl)
{
    platform::MessageBox().Show("No web browser could be started to open the page. Its "
                                "address, to copy into a browser:\n\n" +
                                    strUrl,
                                EMessageIcon::Information);
}

bool CQtWebBrowser::OpenUrl(const CString& strUrl)
{
    const QString opener = QStandardPaths::findExecutable(m_strOpener);
    if (opener.isEmpty()) {
        if (QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(strUrl))))
            return true;
        ReportNoBrowser(strUrl);
        return false;
    }
    // The opener runs until the browser it starts has taken the address
    // (or, for a browser it starts anew, until that browser ends); its exit
    // status is the only word of a failure. It writes nowhere, so that a
    // browser it leaves running never writes to a closed pipe.
    auto* pProcess = new QProcess(QCoreApplication::instance());
    pProcess->setProgram(opener);
    pProcess->setArguments({ToQt(strUrl)});
    pProcess->setStandardInputFile(QProcess::nullDevice());
    pProcess->setStandardOutputFile(QProcess::nullDevice());
    pProcess->setStandardErrorFile(QProcess::nullDevice());
    ++m_nRunning;
    QObject::connect(pProcess, &QProcess::finished, pProcess,
                     [this, pProcess, strUrl](int nExitCode, QProcess::ExitStatus status) {
                         --m_nRunning;
                         pProcess->deleteLater();
                         if (status != QProcess::NormalExit || nExitCode != 0)
                             ReportNoBrowser(strUrl);
                     });
    pProcess->start();
    if (!pProcess->waitForStarted()) {
        --m_nRunning;
        pProcess->deleteLater();
        ReportNoBrowser(strUrl);
        return false;
    }
    return true;
}

void CQtBusyIndicator::Begin() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void CQtBusyIndicator::End() { QApplication::restoreOverrideCursor(); }

void InstallQtPlatform()
{
    static CQtBusyIndicator busy;
    platform::SetBusyIndicator(&busy);
    static CQtClipboard clipboard;
    static CQtMessageBox messageBox;
    static CQtFileDialog fileDialog;
    static CQtWebBrowser browser;
    platform::SetClipboard(&clipboard);
    platform::SetMessageBox(&messageBox);
    platform::SetFileDialog(&fileDialog);
    platform::SetWebBrowser(&browser);
    static CQtPrintDialog printDialog;
    platform::SetPrintDialog(&printDialog);
}
