#pragma once
// Makes the controls of a dialog layout: one widget per control of the
// template in the dialog's client area, named after the control, with the
// layout's tab order, placed by a CDialogLayout.

#include "Notify.h"

#include <QPoint>
#include <QSize>

#include <vector>

class CDialogLayout;
class QObject;
class QWidget;
struct CControlTemplate;
struct CDialogTemplate;

// What the builder needs of the dialog it builds: where commands and
// notifications go, and its dialog units.
class IDialogHost : public INotifyTarget
{
public:
    virtual bool SendCommand(int nId) = 0;
    virtual QPoint MapDialogPoint(int x, int y) const = 0;
    virtual int BaseUnitX() const = 0;
    // The object whose life the controls' connections follow.
    virtual QObject* HostObject() = 0;

protected:
    ~IDialogHost() = default;
};

class CDialogBuilder
{
public:
    // Buttons send their commands, and the list view its notifications, to
    // pDialog; the widgets are children of pClient.
    CDialogBuilder(IDialogHost* pDialog, QWidget* pClient);

    // The widgets of the template's controls, in template order, placed at
    // the layout's base size; the layout learns every control and the
    // least usable size is set on the client area.
    std::vector<QWidget*> Build(const CDialogTemplate& tmpl, CDialogLayout& layout);

private:
    QWidget* CreateControl(const CControlTemplate& ctl);
    QSize MinimumControlSize(const CControlTemplate& ctl, const QWidget* pWidget) const;
    void PlaceControls(const CDialogTemplate& tmpl, const std::vector<QWidget*>& widgets,
                       CDialogLayout& layout);
    void SetUpFocus(const CDialogTemplate& tmpl, const std::vector<QWidget*>& widgets);

    IDialogHost* m_pDialog;
    QWidget* m_pClient;
};
