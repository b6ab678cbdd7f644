#pragma once
// The notifications a control sends to the dialog it sits in, and the one
// operation a control needs of that dialog.

#include <QPoint>

// Notification codes a control sends to its dialog.
enum ENotifyCode : int {
    BN_CLICKED = 0,
    NM_CLICK = -2,
    NM_RCLICK = -5,
    LVN_KEYDOWN = -155,
};

// Virtual key codes the list reports.
enum EVirtualKey : int {
    VK_DELETE = 0x2E,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
};

struct CNotify
{
    int nId = 0;
    int nCode = 0;
    int nKey = 0;    // LVN_KEYDOWN: the virtual key
    QPoint ptScreen; // the screen position of the message
};

// What receives a control's notifications: the dialog.
class INotifyTarget
{
public:
    // Delivers a control notification; false when no handler is bound.
    virtual bool SendNotify(const CNotify& notify, long* pResult = nullptr) = 0;

protected:
    ~INotifyTarget() = default;
};
