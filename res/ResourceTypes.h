#pragma once
// The forms in which dialog layouts, menus and strings are kept. Positions
// and sizes of dialogs are in dialog units: a quarter of the dialog font's
// average character width horizontally, an eighth of its height vertically.

#include <vector>

// The standard buttons, whose commands the dialog base answers itself.
#define IDOK 1
#define IDCANCEL 2

enum class EControlKind {
    ListView,
    Edit,
    PushButton,
    DefPushButton,
    Label,
    GroupBox,
    CheckBox,
    Bitmap,
    Icon,
};

// Styles a control may carry.
enum EControlStyle : unsigned {
    CS_NONE = 0,
    CS_MULTILINE = 0x0001,   // edit: several lines
    CS_WANTRETURN = 0x0002,  // edit: Enter inserts a line break
    CS_HSCROLL = 0x0004,     // horizontal scroll bar (and no wrapping)
    CS_VSCROLL = 0x0008,     // vertical scroll bar
    CS_AUTOHSCROLL = 0x0010, // single-line edit scrolls horizontally
    CS_BORDER = 0x0020,
    CS_TABSTOP = 0x0040,
    CS_NOPREFIX = 0x0080,      // label: an ampersand is shown as it is
    CS_NOTIFY = 0x0100,        // static: reports clicks
    CS_SUNKEN = 0x0200,        // sunken edge
    CS_REPORT = 0x0400,        // list view: report view
    CS_SINGLESEL = 0x0800,     // list view: one selected row at most
    CS_SHOWSELALWAYS = 0x1000, // list view: selection shown when unfocused
    CS_CENTERIMAGE = 0x2000,   // label: text centred vertically in its rectangle
    CS_ENDELLIPSIS = 0x4000,   // label: one line, cut with an ellipsis where it does not fit
};

struct CControlTemplate
{
    int nId; // -1 for a control without an id
    EControlKind kind;
    unsigned nStyle;
    const char* pszCaption;
    int x, y, cx, cy;    // dialog units
    int nImage;          // bitmap or icon resource, 0 for none
    const char* pszName; // object name, for tests and tools
    // How the control follows the width of a dialog that is wider or
    // narrower than its layout: its left edge moves by nMoveX percent and its
    // right edge by nMoveX + nSizeX percent of the difference.
    int nMoveX;
    int nSizeX;
};

// A horizontal strip of a dialog, from nTop to nBottom in dialog units,
// whose height follows the dialog's. A taller dialog gives its extra height
// to the strips by their nGrow weights; a lower one takes height from every
// strip in proportion to what the strip has above its nMinHeight. Whatever
// lies outside the strips keeps its height and moves with them; a control
// that spans part of a strip stretches with that part.
struct CStripTemplate
{
    int nTop, nBottom;
    int nGrow;
    int nMinHeight;
};

// Window styles of a dialog.
enum EDialogStyle : unsigned {
    DS_CAPTION = 0x01,
    DS_SYSMENU = 0x02,
    DS_MINIMIZEBOX = 0x04,
    DS_MODALFRAME = 0x08,
    DS_APPWINDOW = 0x10,  // shown in the task bar
    DS_THICKFRAME = 0x20, // a sizing border: the user may resize the dialog
    DS_MAXIMIZEBOX = 0x40,
};

struct CDialogTemplate
{
    int nId;
    const char* pszCaption;
    int cx, cy; // client size in dialog units
    const char* pszFontFace;
    int nPointSize;
    int nMenu; // 0 for none
    unsigned nStyle;
    std::vector<CControlTemplate> controls;
    // The strips that change height; none for a dialog of fixed height.
    std::vector<CStripTemplate> strips;
};

struct CMenuItemTemplate
{
    const char* pszText; // nullptr for a separator; "&" marks the access key
    int nId;
    const char* pszName;
    // The key that runs the command from anywhere in the window ("Ctrl+O"),
    // or nullptr; shown beside the item.
    const char* pszShortcut;
    // A control that must have the focus for the key to work; 0 for none.
    int nShortcutFocus;
    // An item that is checked or not, and how it starts.
    bool bCheckable = false;
    bool bChecked = false;
};

struct CMenuPopupTemplate
{
    const char* pszText; // "&" marks the access key
    std::vector<CMenuItemTemplate> items;
};

struct CMenuTemplate
{
    int nId;
    std::vector<CMenuPopupTemplate> popups;
};

namespace res {

// nullptr when there is no resource of that id.
const CDialogTemplate* FindDialog(int nId);
const CMenuTemplate* FindMenu(int nId);
// The empty string when there is none.
const char* LoadString(int nId);
// Where the image of a bitmap, icon or cursor resource is kept (a Qt
// resource path), or nullptr.
const char* ImagePath(int nId);
// The hot spot of a cursor resource.
void CursorHotSpot(int nId, int& x, int& y);

} // namespace res
