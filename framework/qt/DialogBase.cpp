#include "DialogBase.h"


#include "DialogBuilder.h"
#include "ResourceImages.h"
#include "framework/File.h"
#include "framework/Platform.h"
#include "res/ResourceTypes.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

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

QString WithoutAccessKey(const char* pszText)
{
    QString text = QString::fromUtf8(pszText);
    text.remove(QLatin1Char('&'));
    return text;
}

// The dialog's client area: the controls are placed by the layout for
// whatever size the window gives it.
class CDialogClient final : public QWidget
{
public:
    CDialogClient(const CDialogLayout* pLayout, QWidget* pParent)
        : QWidget(pParent), m_pLayout(pLayout)
    {}
    void SetPreferredSize(const QSize& size)
    {
        m_preferred = size;
        updateGeometry();
    }
    QSize sizeHint() const override { return m_preferred; }

protected:
    void resizeEvent(QResizeEvent* pEvent) override
    {
        QWidget::resizeEvent(pEvent);
        m_pLayout->Apply(size());
    }

private:
    const CDialogLayout* m_pLayout;
    QSize m_preferred;
};

} // namespace

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
    // An Escape meant for an open menu closes the menu and nothing else,
    // also where the window system hands the key to the window instead.
    if (pEvent->key() == Qt::Key_Escape) {
        if (QWidget* pPopup = QApplication::activePopupWidget()) {
            pPopup->close();
            pEvent->accept();
            return;
        }
    }
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
    FitToScreen();
    show();
    return true;
}

int CDialogBase::DoModal()
{
    if (!BuildFromTemplate())
        return -1;
    OnInitDialog();
    FitToScreen();
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
    pQMenu->setObjectName(WithoutAccessKey(popup.pszText));
    for (const CMenuItemTemplate& item : popup.items) {
        if (item.pszText == nullptr) {
            pQMenu->addSeparator();
            continue;
        }
        // A command of the menu bar keeps one action wherever it is shown,
        // so that its key is bound once.
        const auto it = m_actions.find(item.nId);
        if (it != m_actions.end()) {
            pQMenu->addAction(it->second);
            continue;
        }
        QAction* pAction = pQMenu->addAction(QString::fromUtf8(item.pszText));
        pAction->setObjectName(QString::fromUtf8(item.pszName));
        pAction->setData(item.nId);
        if (item.pszShortcut != nullptr)
            pAction->setShortcut(QKeySequence(QString::fromUtf8(item.pszShortcut)));
        // The handler sets the mark (CheckMenuItem) from the state it keeps.
        pAction->setCheckable(item.bCheckable);
        pAction->setChecked(item.bChecked);
        const int nId = item.nId;
        connect(pAction, &QAction::triggered, this, [this, nId] { SendCommand(nId); });
    }
    return pQMenu;
}

bool CDialogBase::IsMenuItemChecked(int nId) const
{
    const auto it = m_actions.find(nId);
    return it != m_actions.end() && it->second->isChecked();
}

void CDialogBase::CheckMenuItem(int nId, bool bCheck)
{
    const auto it = m_actions.find(nId);
    if (it != m_actions.end() && it->second->isCheckable())
        it->second->setChecked(bCheck);
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
        for (QAction* pAction : pPopup->actions()) {
            if (!pAction->isSeparator())
                m_actions[pAction->data().toInt()] = pAction;
        }
    }
    // F10 opens the first menu, as on the common Linux desktops.
    auto* pF10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(pF10, &QShortcut::activated, this, [this] {
        if (!m_pMenuBar->actions().isEmpty())
            m_pMenuBar->setActiveAction(m_pMenuBar->actions().first());
    });
}

void CDialogBase::BindFocusShortcuts(int nMenuId)
{
    const CMenuTemplate* pMenu = res::FindMenu(nMenuId);
    if (pMenu == nullptr)
        return;
    for (const CMenuPopupTemplate& popup : pMenu->popups) {
        for (const CMenuItemTemplate& item : popup.items) {
            QWidget* pFocus = item.nShortcutFocus != 0 ? GetDlgItem(item.nShortcutFocus) : nullptr;
            const auto it = m_actions.find(item.nId);
            if (pFocus == nullptr || it == m_actions.end())
                continue;
            // The key works while that control has the focus, so that it
            // keeps its usual meaning in the edit boxes.
            it->second->setShortcutContext(Qt::WidgetShortcut);
            pFocus->addAction(it->second);
        }
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

    m_bResizable = (tmpl.nStyle & DS_THICKFRAME) != 0;
    Qt::WindowFlags flags = (tmpl.nStyle & DS_APPWINDOW) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
    if (tmpl.nStyle & DS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (tmpl.nStyle & DS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint;
    if (tmpl.nStyle & DS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (tmpl.nStyle & DS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
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
    auto* pClient = new CDialogClient(&m_layout, this);
    m_pClient = pClient;
    m_pClient->setObjectName(QStringLiteral("client"));
    pLayout->addWidget(m_pClient);

    CDialogBuilder builder(this, m_pClient);
    const std::vector<QWidget*> widgets = builder.Build(tmpl, m_layout);
    for (size_t i = 0; i < widgets.size(); ++i) {
        if (tmpl.controls[i].nId >= 0)
            m_controls[tmpl.controls[i].nId] = widgets[i];
    }
    pClient->SetPreferredSize(m_layout.BaseSize());
    if (tmpl.nMenu != 0)
        BindFocusShortcuts(tmpl.nMenu);
    if (!m_bResizable)
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    return true;
}

QMargins CDialogBase::EstimatedFrameMargins() const
{
    // The frame the window manager adds is known once a window is shown;
    // until then another shown window's frame, or the style's title bar.
    for (QWidget* pTop : QApplication::topLevelWidgets()) {
        if (pTop == this || !pTop->isVisible())
            continue;
        const QRect frame = pTop->frameGeometry();
        const QRect inner = pTop->geometry();
        if (frame != inner)
            return QMargins(inner.x() - frame.x(), inner.y() - frame.y(),
                            frame.right() - inner.right(), frame.bottom() - inner.bottom());
    }
    const int nTitle = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QMargins(2, nTitle + 2, 2, 2);
}

bool CDialogBase::event(QEvent* pEvent)
{
    // The window manager's frame is known once the window has been mapped;
    // by its first activation the window is sized and moved again with it.
    if (pEvent->type() == QEvent::WindowActivate && m_bPlacementPending) {
        m_bPlacementPending = false;
        if (windowState() == Qt::WindowNoState) {
            FitToScreen();
            KeepOnScreen();
        }
    }
    return QDialog::event(pEvent);
}

void CDialogBase::KeepOnScreen()
{
    const QScreen* pScreen = screen();
    if (pScreen == nullptr)
        return;
    const QRect available = pScreen->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint topLeft = frame.topLeft();
    if (frame.right() > available.right())
        topLeft.setX(available.right() - frame.width() + 1);
    if (frame.bottom() > available.bottom())
        topLeft.setY(available.bottom() - frame.height() + 1);
    topLeft.setX(std::max(topLeft.x(), available.left()));
    topLeft.setY(std::max(topLeft.y(), available.top()));
    if (topLeft != frame.topLeft())
        move(topLeft);
}

void CDialogBase::FitToScreen()
{
    const QScreen* pScreen = screen();
    if (pScreen == nullptr || m_pClient == nullptr)
        return;
    const QRect available = pScreen->availableGeometry();
    const QMargins frame = isVisible() && frameGeometry() != geometry()
        ? QMargins(geometry().x() - frameGeometry().x(), geometry().y() - frameGeometry().y(),
                   frameGeometry().right() - geometry().right(),
                   frameGeometry().bottom() - geometry().bottom())
        : EstimatedFrameMargins();
    const int nMenu = m_pMenuBar != nullptr ? m_pMenuBar->sizeHint().height() : 0;
    // The layout's size where the screen has room for it; otherwise as much
    // as there is, and never less than the least usable size.
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom() - nMenu);
    const QSize client = m_layout.BaseSize().boundedTo(room).expandedTo(m_pClient->minimumSize());
    if (!isVisible())
        m_bPlacementPending = true;
    if (m_bResizable) {
        resize(client.width(), client.height() + nMenu);
    } else {
        static_cast<CDialogClient*>(m_pClient)->SetPreferredSize(client);
        layout()->activate();
    }
}
