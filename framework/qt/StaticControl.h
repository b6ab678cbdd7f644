#pragma once
// A static control with an object of its own: the stand-in for subclassing
// a window. The object hooks the widget's events and gets the handlers a
// derived link control overrides.

#include "framework/StringTypes.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class CStaticControl : public QObject
{
    Q_OBJECT

public:
    CStaticControl() = default;
    ~CStaticControl() override = default;

    // Takes over the widget: its events reach the handlers below.
    void SubclassWindow(QWidget* pWidget);
    QWidget* GetWidget() const { return m_pWidget; }
    bool IsSubclassed() const { return m_pWidget != nullptr; }
    CString GetWindowText() const;

protected:
    // Called once, before the events start to arrive.
    virtual void PreSubclassWindow() {}
    // The pointer has entered the control; true when a cursor was set.
    virtual bool OnSetCursor() { return false; }
    virtual void OnLButtonDown() {}

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QPointer<QWidget> m_pWidget;
};
