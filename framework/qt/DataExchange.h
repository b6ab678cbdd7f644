#pragma once
// Data exchange between a dialog's controls and the members of the dialog
// object, as the dialog framework does it: UpdateData(false) fills the
// controls from the members, UpdateData(true) reads them back.

#include "framework/StringTypes.h"

class CDataExchange;
class CListCtrl;
class CStaticControl;

// The exchange itself is CDataExchange in DialogBase.h.

// Text of an edit box or a label. Multi-line boxes hold CR LF line ends in
// the member, as the texts of this program do.
void DDX_Text(CDataExchange* pDX, int nId, CString& value);
void DDX_Check(CDataExchange* pDX, int nId, bool& value);
// Binds a list view to its model, and a static control to its object.
void DDX_Control(CDataExchange* pDX, int nId, CListCtrl& list);
void DDX_Control(CDataExchange* pDX, int nId, CStaticControl& control);
