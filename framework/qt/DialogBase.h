#pragma once
// A dialog built from a layout of the resource tables, with a static
// message table that binds command ids and control notifications to
// handlers, and data exchange between controls and members.
//
// This stands in for the Windows dialog framework: positions in dialog units
// are turned into pixels from the dialog font's average character size, the
// way the platform does it, so the window keeps the proportions of its
// layout. The window opens at the layout's size where the screen has room
// for it, and a dialog with a sizing border follows any size down to the
// least usable one (CDialogLayout). Every command can be sent by id, so
// tests can run any menu command without a mouse.

#include "DialogBuilder.h"
#include "DialogLayout.h"
#include "Notify.h"
#include "framework/StringTypes.h"

#include <QDialog>
#include <QMargins>
#include <QPoint>

#include <map>
#include <vector>

class CListCtrl;
class CStaticControl;
class QAction;
class QMenu;
class QMenuBar;
struct CDialogTemplate;

class CDialogBase;

struct CMessageEntry
{
    enum EKind { Command, Notify, HelpInfo, End };
    EKind kind;
    int nCode;
    int nId;
    void (CDialogBase::*pfnCommand)();
    void (CDialogBase::*pfnNotify)(const CNotify&, long*);
};

#define KV_COMMAND_HANDLER(fn) static_cast<void (CDialogBase::*)()>(fn)
#define KV_NOTIFY_HANDLER(fn) static_cast<void (CDialogBase::*)(const CNotify&, long*)>(fn)
#define ON_COMMAND(id, fn)                                                                         \
    {                                                                                              \
        CMessageEntry::Command, BN_CLICKED, id, KV_COMMAND_HANDLER(fn), nullptr                    \
    }
#define ON_BN_CLICKED(id, fn) ON_COMMAND(id, fn)
#define ON_NOTIFY(code, id, fn)                                                                    \
    {                                                                                              \
        CMessageEntry::Notify, code, id, nullptr, KV_NOTIFY_HANDLER(fn)                            \
    }
#define ON_WM_HELPINFO(fn)                                                                         \
    {                                                                                              \
        CMessageEntry::HelpInfo, 0, 0, KV_COMMAND_HANDLER(fn), nullptr                             \
    }
#define END_MESSAGE_MAP()                                                                          \
    {                                                                                              \
        CMessageEntry::End, 0, 0, nullptr, nullptr                                                 \
    }

// One exchange between a dialog's controls and its members (see
// DataExchange.h): bSaveAndValidate reads the controls into the members.
class CDataExchange
{
public:
    CDataExchange(CDialogBase* pDlg, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlg)
    {}
    bool m_bSaveAndValidate;
    CDialogBase* m_pDlgWnd;
};

class CDialogBase : public QDialog, public IDialogHost
{
    Q_OBJECT

public:
    explicit CDialogBase(int nTemplateId, QWidget* pParent = nullptr);
    ~CDialogBase() override;

    // Builds the window, runs OnInitDialog, fits it to its screen and shows
    // it without a modal loop (for tests and tools). False when the layout
    // is missing.
    bool Create();
    // Builds the window if needed, runs OnInitDialog and the modal loop.
    int DoModal();
    void EndDialog(int nResult);

    QWidget* GetDlgItem(int nId) const;
    QMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // The area below the menu bar that holds the controls.
    QWidget* GetClient() const { return m_pClient; }
    const CDialogLayout& Layout() const { return m_layout; }
    bool IsResizable() const { return m_bResizable; }
    // A new pop-up menu made from one pop-up of a menu resource; its items
    // send their commands to this dialog (an item of the menu bar is shown
    // with the menu bar's own action). The caller owns it.
    QMenu* CreatePopupMenu(int nMenuId, int nPopup);

    bool UpdateData(bool bSaveAndValidate = true);

    // The check mark of a checkable menu item; false for any other id.
    bool IsMenuItemChecked(int nId) const;
    void CheckMenuItem(int nId, bool bCheck);

    // Runs the handler bound to a command id (a menu item or a button).
    // False when the table binds none.
    bool SendCommand(int nId) override;
    // Delivers a control notification; false when no handler is bound.
    bool SendNotify(const CNotify& notify, long* pResult = nullptr) override;

    // The dialog's pixel position of a point in dialog units.
    QPoint MapDialogPoint(int x, int y) const override;
    int BaseUnitX() const override { return m_nBaseUnitX; }
    QObject* HostObject() override { return this; }
    int BaseUnitY() const { return m_nBaseUnitY; }

protected:
    virtual const CMessageEntry* GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void reject() override;
    void accept() override;
    bool event(QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    bool BuildFromTemplate();
    void CreateMenuBar(int nMenuId);
    // Binds the keys of menu items that work only in one control.
    void BindFocusShortcuts(int nMenuId);
    // Sizes the window to the layout's size, or to its screen where that is
    // smaller (never below the least usable size).
    void FitToScreen();
    // Moves the window so that its frame lies on its screen's free area.
    void KeepOnScreen();
    QMargins EstimatedFrameMargins() const;
    void InvokeCommand(void (CDialogBase::*pfn)());
    void ShowCommandError(const CString& strText, bool bMemory);

    int m_nTemplateId;
    const CDialogTemplate* m_pTemplate = nullptr;
    bool m_bBuilt = false;
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    std::map<int, QWidget*> m_controls;
    // The menu bar's action of each command.
    std::map<int, QAction*> m_actions;
    CDialogLayout m_layout;
    bool m_bResizable = false;
    // Sized before it was shown; placed again when first activated.
    bool m_bPlacementPending = false;
    int m_nBaseUnitX = 6;
    int m_nBaseUnitY = 13;
};
