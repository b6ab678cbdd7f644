#include "DialogBase.h"

#include "framework/qt/QtString.h"

#include "ListView.h"
#include "MultiLineEdit.h"
#include "ResourceImages.h"
#include "StaticControl.h"
#include "framework/File.h"
#include "framework/Platform.h"
#include "res/ResourceTypes.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <new>

namespace {

// The dialog font's base units, as the platform measures them: the average
// width of the 52 letters, rounded, and the font's line height.
void MeasureBaseUnits(const QFont& font, int& cx, int& cy)
{
    const QFontMetrics metrics(font);
    const int nWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    cx = (nWidth / 26 + 1) / 2;
    cy = metrics.height();
    if (cx <= 0)
        cx = 6;
    if (cy <= 0)
        cy = 13;
}

// The layout was drawn for a narrower face than Linux offers; a caption
// that would be cut off gets a slightly smaller font instead.
void FitTextToWidth(QWidget* pWidget)
{
    QFont font = pWidget->font();
    for (qreal points = font.pointSizeF(); points > 6.0; points -= 0.25) {
        font.setPointSizeF(points);
        pWidget->setFont(font);
        if (pWidget->sizeHint().width() <= pWidget->width())
            return;
    }
}

} // namespace

// --- data exchange ---

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

// --- dialog ---

CDialogBase::CDialogBase(int nTemplateId, QWidget* pParent)
    : QDialog(pParent), m_nTemplateId(nTemplateId), m_pTemplate(res::FindDialog(nTemplateId))
{}

CDialogBase::~CDialogBase() = default;

const CMessageEntry* CDialogBase::GetMessageMap() const
{
    static const CMessageEntry kEmpty[] = {END_MESSAGE_MAP()};
    return kEmpty;
}

void CDialogBase::DoDataExchange(CDataExchange* /*pDX*/) {}

bool CDialogBase::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialogBase::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialogBase::OnCancel() { EndDialog(IDCANCEL); }

void CDialogBase::reject() { OnCancel(); }

void CDialogBase::accept() { OnOK(); }

void CDialogBase::EndDialog(int nResult) { done(nResult); }

void CDialogBase::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1 && pEvent->modifiers() == Qt::NoModifier) {
        for (const CMessageEntry* p = GetMessageMap(); p->kind != CMessageEntry::End; ++p) {
            if (p->kind == CMessageEntry::HelpInfo) {
                InvokeCommand(p->pfnCommand);
                pEvent->accept();
                return;
            }
        }
    }
    QDialog::keyPressEvent(pEvent);
}

bool CDialogBase::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return true;
}

QWidget* CDialogBase::GetDlgItem(int nId) const
{
    const auto it = m_controls.find(nId);
    return it == m_controls.end() ? nullptr : it->second;
}

QPoint CDialogBase::MapDialogPoint(int x, int y) const
{
    return QPoint((x * m_nBaseUnitX + 2) / 4, (y * m_nBaseUnitY + 4) / 8);
}

bool CDialogBase::Create()
{
    if (!BuildFromTemplate())
        return false;
    OnInitDialog();
    show();
    return true;
}

int CDialogBase::DoModal()
{
    if (!BuildFromTemplate())
        return -1;
    OnInitDialog();
    return exec();
}

void CDialogBase::InvokeCommand(void (CDialogBase::*pfn)())
{
    // A file or database error ends the command; its text is shown, as the
    // platform's command dispatcher shows it.
    try {
        (this->*pfn)();
    } catch (const CUserException& e) {
        ShowCommandError(e.GetErrorMessage(), false);
    } catch (const std::bad_alloc&) {
        ShowCommandError("Out of memory.", true);
    } catch (const std::exception& e) {
        ShowCommandError(e.what(), false);
    }
}

void CDialogBase::ShowCommandError(const CString& strText, bool bMemory)
{
    platform::MessageBox().Show(strText.empty() ? CString("Command failed.") : strText,
                                bMemory ? EMessageIcon::Exclamation : EMessageIcon::Stop);
}

bool CDialogBase::SendCommand(int nId)
{
    for (const CMessageEntry* p = GetMessageMap(); p->kind != CMessageEntry::End; ++p) {
        if (p->kind == CMessageEntry::Command && p->nId == nId) {
            InvokeCommand(p->pfnCommand);
            return true;
        }
    }
    if (nId == IDOK) {
        OnOK();
        return true;
    }
    if (nId == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialogBase::SendNotify(const CNotify& notify, long* pResult)
{
    for (const CMessageEntry* p = GetMessageMap(); p->kind != CMessageEntry::End; ++p) {
        if (p->kind == CMessageEntry::Notify && p->nId == notify.nId && p->nCode == notify.nCode) {
            long nResult = 0;
            try {
                (this->*(p->pfnNotify))(notify, &nResult);
            } catch (const CUserException& e) {
                ShowCommandError(e.GetErrorMessage(), false);
            } catch (const std::bad_alloc&) {
                ShowCommandError("Out of memory.", true);
            }
            if (pResult != nullptr)
                *pResult = nResult;
            return true;
        }
    }
    return false;
}

QMenu* CDialogBase::CreatePopupMenu(int nMenuId, int nPopup)
{
    const CMenuTemplate* pMenu = res::FindMenu(nMenuId);
    if (pMenu == nullptr || nPopup < 0 || static_cast<size_t>(nPopup) >= pMenu->popups.size())
        return nullptr;
    const CMenuPopupTemplate& popup = pMenu->popups[static_cast<size_t>(nPopup)];
    auto* pQMenu = new QMenu(QString::fromUtf8(popup.pszText));
    pQMenu->setObjectName(QString::fromUtf8(popup.pszText));
    for (const CMenuItemTemplate& item : popup.items) {
        if (item.pszText == nullptr) {
            pQMenu->addSeparator();
            continue;
        }
        QAction* pAction = pQMenu->addAction(QString::fromUtf8(item.pszText));
        pAction->setObjectName(QString::fromUtf8(item.pszName));
        pAction->setData(item.nId);
        const int nId = item.nId;
        connect(pAction, &QAction::triggered, this, [this, nId] { SendCommand(nId); });
    }
    return pQMenu;
}

void CDialogBase::CreateMenuBar(int nMenuId)
{
    const CMenuTemplate* pMenu = res::FindMenu(nMenuId);
    if (pMenu == nullptr)
        return;
    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setObjectName(QStringLiteral("menuBar"));
    m_pMenuBar->setNativeMenuBar(false);
    for (size_t i = 0; i < pMenu->popups.size(); ++i) {
        QMenu* pPopup = CreatePopupMenu(nMenuId, static_cast<int>(i));
        pPopup->setParent(m_pMenuBar, pPopup->windowFlags());
        m_pMenuBar->addMenu(pPopup);
    }
}

bool CDialogBase::BuildFromTemplate()
{
    if (m_bBuilt)
        return true;
    if (m_pTemplate == nullptr)
        return false;
    m_bBuilt = true;
    const CDialogTemplate& tmpl = *m_pTemplate;

    // The classic dialog face is not found on Linux; a face with the metrics
    // of its usual successor keeps the layout's proportions.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
    QFont font(QString::fromUtf8(tmpl.pszFontFace), tmpl.nPointSize);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    MeasureBaseUnits(font, m_nBaseUnitX, m_nBaseUnitY);

    Qt::WindowFlags flags = (tmpl.nStyle & DS_APPWINDOW) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
    if (tmpl.nStyle & DS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (tmpl.nStyle & DS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint;
    if (tmpl.nStyle & DS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(tmpl.pszCaption));
    setObjectName(QStringLiteral("dialog%1").arg(tmpl.nId));

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    if (tmpl.nMenu != 0) {
        CreateMenuBar(tmpl.nMenu);
        if (m_pMenuBar != nullptr)
            pLayout->setMenuBar(m_pMenuBar);
    }
    m_pClient = new QWidget(this);
    m_pClient->setObjectName(QStringLiteral("client"));
    const QPoint size = MapDialogPoint(tmpl.cx, tmpl.cy);
    m_pClient->setFixedSize(size.x(), size.y());
    pLayout->addWidget(m_pClient);

    QWidget* pPreviousFocusable = nullptr;
    std::vector<QWidget*> groups;
    for (const CControlTemplate& ctl : tmpl.controls) {
        QWidget* pWidget = nullptr;
        const QString caption =
            ctl.pszCaption != nullptr ? QString::fromUtf8(ctl.pszCaption) : QString();
        bool bSizeToImage = false;
        switch (ctl.kind) {
        case EControlKind::ListView:
            pWidget = new CListView(this, ctl.nId, m_pClient);
            break;
        case EControlKind::Edit:
            if (ctl.nStyle & CS_MULTILINE) {
                auto* pEdit = new CMultiLineEdit(m_pClient);
                pEdit->setHorizontalScrollBarPolicy(
                    (ctl.nStyle & CS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                pEdit->setVerticalScrollBarPolicy(
                    (ctl.nStyle & CS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                pWidget = pEdit;
            } else {
                pWidget = new QLineEdit(m_pClient);
            }
            break;
        case EControlKind::PushButton:
        case EControlKind::DefPushButton: {
            auto* pButton = new QPushButton(caption, m_pClient);
            pButton->setAutoDefault(true);
            if (ctl.kind == EControlKind::DefPushButton)
                pButton->setDefault(true);
            const int nId = ctl.nId;
            connect(pButton, &QPushButton::clicked, this, [this, nId] { SendCommand(nId); });
            pWidget = pButton;
            break;
        }
        case EControlKind::Label: {
            auto* pLabel = new QLabel(caption, m_pClient);
            pLabel->setTextFormat(Qt::PlainText);
            pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            pWidget = pLabel;
            break;
        }
        case EControlKind::GroupBox:
            pWidget = new QGroupBox(caption, m_pClient);
            pWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
            groups.push_back(pWidget);
            break;
        case EControlKind::CheckBox:
            pWidget = new QCheckBox(caption, m_pClient);
            break;
        case EControlKind::Bitmap:
        case EControlKind::Icon: {
            auto* pLabel = new QLabel(m_pClient);
            const QPixmap pixmap = ctl.kind == EControlKind::Bitmap
                ? res::LoadBitmap(ctl.nImage)
                : res::LoadIcon(ctl.nImage).pixmap(32, 32);
            pLabel->setPixmap(pixmap);
            if (ctl.nStyle & CS_SUNKEN) {
                pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                pLabel->setLineWidth(1);
            }
            pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            bSizeToImage = !pixmap.isNull();
            pWidget = pLabel;
            break;
        }
        }
        pWidget->setObjectName(QString::fromUtf8(ctl.pszName));
        const QPoint topLeft = MapDialogPoint(ctl.x, ctl.y);
        const QPoint extent = MapDialogPoint(ctl.cx, ctl.cy);
        if (bSizeToImage) {
            // A picture control takes the size of its picture.
            auto* pLabel = static_cast<QLabel*>(pWidget);
            const int nFrame = pLabel->frameWidth() * 2;
            const QSize image = pLabel->pixmap().deviceIndependentSize().toSize();
            pWidget->setGeometry(topLeft.x(), topLeft.y(), image.width() + nFrame,
                                 image.height() + nFrame);
        } else {
            pWidget->setGeometry(topLeft.x(), topLeft.y(), extent.x(), extent.y());
        }
        if (ctl.kind == EControlKind::Label || ctl.kind == EControlKind::CheckBox ||
            ctl.kind == EControlKind::PushButton || ctl.kind == EControlKind::DefPushButton)
            FitTextToWidth(pWidget);
        if (ctl.nId >= 0)
            m_controls[ctl.nId] = pWidget;
        if (ctl.nStyle & CS_TABSTOP) {
            pWidget->setFocusPolicy(Qt::StrongFocus);
            if (pPreviousFocusable != nullptr)
                QWidget::setTabOrder(pPreviousFocusable, pWidget);
            pPreviousFocusable = pWidget;
        } else if (ctl.kind == EControlKind::Label || ctl.kind == EControlKind::GroupBox ||
                   ctl.kind == EControlKind::Bitmap || ctl.kind == EControlKind::Icon) {
            pWidget->setFocusPolicy(Qt::NoFocus);
        }
    }
    // Group boxes are frames drawn behind the controls they surround.
    for (QWidget* pGroup : groups)
        pGroup->lower();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    return true;
}
