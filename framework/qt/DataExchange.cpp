#include "DataExchange.h"

#include "framework/qt/QtString.h"

#include "DialogBase.h"
#include "ListView.h"
#include "MultiLineEdit.h"
#include "StaticControl.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

void DDX_Text(CDataExchange* pDX, int nId, CString& value)
{
    QWidget* pWidget = pDX->m_pDlgWnd->GetDlgItem(nId);
    if (auto* pLine = qobject_cast<QLineEdit*>(pWidget)) {
        if (pDX->m_bSaveAndValidate)
            value = FromQt(pLine->text());
        else
            pLine->setText(ToQt(value));
    } else if (auto* pEdit = qobject_cast<CMultiLineEdit*>(pWidget)) {
        if (pDX->m_bSaveAndValidate) {
            if (!pEdit->HoldsText(value))
                value = pEdit->GetText();
        } else
            pEdit->SetText(value);
    } else if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
        if (pDX->m_bSaveAndValidate)
            value = FromQt(pLabel->text());
        else
            pLabel->setText(ToQt(value));
    }
}

void DDX_Check(CDataExchange* pDX, int nId, bool& value)
{
    auto* pCheck = qobject_cast<QCheckBox*>(pDX->m_pDlgWnd->GetDlgItem(nId));
    if (pCheck == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = pCheck->isChecked();
    else
        pCheck->setChecked(value);
}

void DDX_Control(CDataExchange* pDX, int nId, CListCtrl& list)
{
    auto* pView = qobject_cast<CListView*>(pDX->m_pDlgWnd->GetDlgItem(nId));
    if (pView != nullptr && pView->GetList() != &list)
        pView->SetList(&list);
}

void DDX_Control(CDataExchange* pDX, int nId, CStaticControl& control)
{
    QWidget* pWidget = pDX->m_pDlgWnd->GetDlgItem(nId);
    if (pWidget != nullptr && control.GetWidget() != pWidget)
        control.SubclassWindow(pWidget);
}
