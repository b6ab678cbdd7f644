#pragma once
// A dialog built from a layout of the resource tables, with a static
// message table that binds command ids and control notifications to
// handlers, and data exchange between controls and members.
//
// This stands in for the Windows dialog framework: positions in dialog units
// are turned into pixels from the dialog font's average character size, the
// way the platform does it, so the window keeps the proportions of its
// layout. Every command can be sent by id, so tests can run any menu command
// without a mouse.

#include "Notify.h"
#include "framework/StringTypes.h"

#include <QDialog>
#include <QPoint>

#include <map>

class CListCtrl;
class CStaticControl;
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

class CDataExchange
{
public:
    CDataExchange(CDialogBase* pDlg, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlg)
    {}
    bool m_bSaveAndValidate;
    CDialogBase* m_pDlgWnd;
};

// Text of an edit box or a label. Multi-line boxes hold CR LF line ends in
// the member, as the texts of this program do.
void DDX_Text(CDataExchange* pDX, int nId, CString& value);
void DDX_Check(CDataExchange* pDX, int nId, bool& value);
// Binds a list view to its model, and a static control to its object.
void DDX_Control(CDataExchange* pDX, int nId, CListCtrl& list);
void DDX_Control(CDataExchange* pDX, int nId, CStaticControl& control);

class CDialogBase : public QDialog, public INotifyTarget
{
    Q_OBJECT

public:
    explicit CDialogBase(int nTemplateId, QWidget* pParent = nullptr);
    ~CDialogBase() override;

    // Builds the window, runs OnInitDialog and shows it without a modal
    // loop (for tests and tools). False when the layout is missing.
    bool Create();
    // Builds the window if needed, runs OnInitDialog and the modal loop.
    int DoModal();
    void EndDialog(int nResult);

    QWidget* GetDlgItem(int nId) const;
    QMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // A new pop-up menu made from one pop-up of a menu resource; its items
    // send their commands to this dialog. The caller owns it.
    QMenu* CreatePopupMenu(int nMenuId, int nPopup);

    bool UpdateData(bool bSaveAndValidate = true);

    // Runs the handler bound to a command id (a menu item or a button).
    // False when the table binds none.
    bool SendCommand(int nId);
    // Delivers a control notification; false when no handler is bound.
    bool SendNotify(const CNotify& notify, long* pResult = nullptr) override;

    // The dialog's pixel position of a point in dialog units.
    QPoint MapDialogPoint(int x, int y) const;
    int BaseUnitX() const { return m_nBaseUnitX; }
    int BaseUnitY() const { return m_nBaseUnitY; }

protected:
    virtual const CMessageEntry* GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void reject() override;
    void accept() override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    bool BuildFromTemplate();
    void CreateMenuBar(int nMenuId);
    void InvokeCommand(void (CDialogBase::*pfn)());
    void ShowCommandError(const CString& strText, bool bMemory);

    int m_nTemplateId;
    const CDialogTemplate* m_pTemplate = nullptr;
    bool m_bBuilt = false;
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    std::map<int, QWidget*> m_controls;
    int m_nBaseUnitX = 6;
    int m_nBaseUnitY = 13;
};
