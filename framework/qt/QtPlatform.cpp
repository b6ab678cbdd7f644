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
    box.exec();
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

bool CQtWebBrowser::OpenUrl(const CString& strUrl)
{
    return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(strUrl)));
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
