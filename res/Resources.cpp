#include "Resource.h"
#include "ResourceTypes.h"

namespace {

constexpr unsigned kSingleLineEdit = CS_AUTOHSCROLL | CS_BORDER | CS_TABSTOP;
constexpr unsigned kMultiLineEdit =
    CS_MULTILINE | CS_WANTRETURN | CS_HSCROLL | CS_VSCROLL | CS_BORDER | CS_TABSTOP;

// The main window: the banner, the settings row, the two text groups, the
// result list and, under it, the status line that tells what the last Parse
// Data did. Wider, the two groups share the extra width and the result list
// and the status line fill it; taller, the list takes the extra height.
// Lower, the banner, the two text boxes and the list give up height
// together.
const CDialogTemplate kMainDialog = {
    IDD_KORVANE_DIALOG,
    "Korvane",
    524,
    432,
    "MS Sans Serif",
    8,
    IDR_MENU_MAIN,
    DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MAXIMIZEBOX | DS_THICKFRAME | DS_MODALFRAME |
        DS_APPWINDOW,
    {
        {IDC_LIST_RESULT, EControlKind::ListView,
         CS_REPORT | CS_SINGLESEL | CS_SHOWSELALWAYS | CS_BORDER | CS_TABSTOP, nullptr, 7, 269, 510,
         144, 0, "IDC_LIST_RESULT", 0, 100},
        {IDC_EDIT_DATA, EControlKind::Edit, kMultiLineEdit, nullptr, 259, 137, 252, 123, 0,
         "IDC_EDIT_DATA", 50, 50},
        // One unit lower than the platform's layout had it, so that it ends
        // where the Data group begins.
        {IDC_BUTTON_PARSE, EControlKind::DefPushButton, CS_TABSTOP, "Parse Data", 437, 80, 75, 18,
         0, "IDC_BUTTON_PARSE", 100, 0},
        {IDC_BUTTON_LOAD_DATA, EControlKind::PushButton, CS_TABSTOP, "Load Txt File", 457, 112, 54,
         14, 0, "IDC_BUTTON_LOAD_DATA", 100, 0},
        {IDC_EDIT_TEMPLATE, EControlKind::Edit, kMultiLineEdit, nullptr, 9, 137, 240, 123, 0,
         "IDC_EDIT_TEMPLATE", 0, 50},
        {IDC_BUTTON_LOAD_TEMPLATE, EControlKind::PushButton, CS_TABSTOP, "Load Template", 193, 112,
         54, 14, 0, "IDC_BUTTON_LOAD_TEMPLATE", 50, 0},
        // The labels span the height of their boxes, with the text centred,
        // so that label and box text share a line.
        {-1, EControlKind::Label, CS_CENTERIMAGE, "Template Start Tag:", 8, 82, 64, 14, 0,
         "labelStartTag", 0, 0},
        {-1, EControlKind::Label, CS_CENTERIMAGE, "Template End Tag:", 108, 82, 62, 14, 0,
         "labelEndTag", 0, 0},
        {-1, EControlKind::Label, CS_CENTERIMAGE, "Allowed Chars:", 261, 82, 48, 14, 0,
         "labelAllowedChars", 0, 0},
        {IDC_EDIT_ALLOWED_CHARS, EControlKind::Edit, kSingleLineEdit, nullptr, 309, 82, 124, 14, 0,
         "IDC_EDIT_ALLOWED_CHARS", 0, 100},
        {IDC_EDIT_START_TAG, EControlKind::Edit, kSingleLineEdit, nullptr, 75, 82, 23, 14, 0,
         "IDC_EDIT_START_TAG", 0, 0},
        {IDC_EDIT_END_TAG, EControlKind::Edit, kSingleLineEdit, nullptr, 172, 82, 23, 14, 0,
         "IDC_EDIT_END_TAG", 0, 0},
        {-1, EControlKind::GroupBox, CS_NONE, "Template", 7, 98, 246, 166, 0, "groupTemplate", 0,
         50},
        {-1, EControlKind::GroupBox, CS_NONE, "Data", 255, 98, 262, 166, 0, "groupData", 50, 50},
        {-1, EControlKind::Label, CS_CENTERIMAGE, "Path:", 13, 112, 18, 14, 0, "labelTemplatePath",
         0, 0},
        {-1, EControlKind::Label, CS_CENTERIMAGE, "Path:", 262, 112, 18, 14, 0, "labelDataPath", 50,
         0},
        {IDC_EDIT_TEMPLATE_PATH, EControlKind::Edit, kSingleLineEdit, nullptr, 35, 112, 152, 14, 0,
         "IDC_EDIT_TEMPLATE_PATH", 0, 50},
        {IDC_EDIT_DATA_PATH, EControlKind::Edit, kSingleLineEdit, nullptr, 285, 112, 168, 14, 0,
         "IDC_EDIT_DATA_PATH", 50, 50},
        {-1, EControlKind::Label, CS_CENTERIMAGE, "CR/CL:", 202, 82, 24, 14, 0, "labelCrCl", 0, 0},
        {IDC_EDIT_CRCL, EControlKind::Edit, kSingleLineEdit, nullptr, 227, 82, 25, 14, 0,
         "IDC_EDIT_CRCL", 0, 0},
        {IDC_CHECK_PARSE_FROM_EDIT, EControlKind::CheckBox, CS_TABSTOP,
         "Parse Data From This Edit Box", 261, 127, 112, 10, 0, "IDC_CHECK_PARSE_FROM_EDIT", 50, 0},
        {IDC_BANNER, EControlKind::Bitmap, CS_NOTIFY | CS_SUNKEN, nullptr, 6, 6, 511, 70,
         IDB_BANNER, "IDC_BANNER", 0, 100},
        {IDC_STATUS_TEXT, EControlKind::Label, CS_CENTERIMAGE | CS_ENDELLIPSIS | CS_NOPREFIX,
         nullptr, 8, 416, 440, 12, 0, "IDC_STATUS_TEXT", 0, 100},
        {IDC_BUTTON_GOTO_LINE, EControlKind::PushButton, CS_TABSTOP, "&Go to Line", 453, 416, 64,
         12, 0, "IDC_BUTTON_GOTO_LINE", 100, 0},
    },
    {
        {6, 76, 0, 24},    // the banner
        {137, 260, 0, 44}, // the template and data boxes
        {269, 413, 1, 60}, // the result list
    },
};

const CDialogTemplate kAboutDialog = {
    IDD_ABOUTBOX,
    "About Korvane",
    524,
    112,
    "MS Sans Serif",
    8,
    0,
    DS_CAPTION | DS_SYSMENU | DS_MODALFRAME,
    {
        {-1, EControlKind::Icon, CS_NONE, nullptr, 11, 83, 20, 20, IDR_MAINFRAME, "iconAbout", 0,
         0},
        {-1, EControlKind::Label, CS_NOPREFIX, "Korvane Version 2.5", 43, 84, 119, 8, 0,
         "labelVersion", 0, 0},
        {-1, EControlKind::Label, CS_NONE, "Copyright (C) 2026 Brenlow LLC.", 43, 99, 119, 8, 0,
         "labelNotice", 0, 0},
        {IDOK, EControlKind::DefPushButton, CS_TABSTOP, "OK", 423, 79, 68, 14, 0, "IDOK", 100, 0},
        {IDC_LINK, EControlKind::Label, CS_NONE, "https://korvane.example/text-to-table", 176, 99,
         110, 8, 0, "IDC_LINK", 0, 0},
        {IDC_BANNER_ABOUT, EControlKind::Bitmap, CS_NOTIFY | CS_SUNKEN, nullptr, 7, 7, 510, 69,
         IDB_BANNER, "IDC_BANNER_ABOUT", 0, 100},
    },
    {
        {7, 76, 0, 24}, // the banner, on a screen too low for the box
    },
};

// Access keys follow the desktop's habits: Alt+F opens File; the shortcut
// keys are those of most editors.
const CMenuTemplate kMainMenu = {
    IDR_MENU_MAIN,
    {
        {"&File",
         {
             {"Copy &Row", ID_FILE_COPYROW, "ID_FILE_COPYROW", "Ctrl+C", IDC_LIST_RESULT},
             {"Copy &All...", ID_FILE_COPYALL, "ID_FILE_COPYALL", nullptr, 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"&Save As...", ID_FILE_SAVEAS, "ID_FILE_SAVEAS", "Ctrl+S", 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"&Print...", ID_FILE_PRINT, "ID_FILE_PRINT", "Ctrl+P", 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"&Delete Row ( Del )", ID_FILE_DELETEROW, "ID_FILE_DELETEROW", nullptr, 0},
             {"Delete List Co&ntent", ID_FILE_DELETELISTCONTENT, "ID_FILE_DELETELISTCONTENT",
              nullptr, 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"Load &Template", ID_FILE_LOADTEMPLATE, "ID_FILE_LOADTEMPLATE", "Ctrl+Shift+O", 0},
             {"&Load Data", ID_FILE_LOADDATA, "ID_FILE_LOADDATA", "Ctrl+O", 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"&Close...", ID_FILE_CLOSE, "ID_FILE_CLOSE", "Ctrl+Q", 0},
         }},
        {"&View",
         {
             {"Live &Preview", ID_VIEW_LIVEPREVIEW, "ID_VIEW_LIVEPREVIEW", nullptr, 0, true, true},
         }},
        {"&Help",
         {
             {"&Help Topics...", ID_HELP_HELPTOPICS, "ID_HELP_HELPTOPICS", "F1", 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"Product &Page", ID_HELP_PRODUCTPAGE, "ID_HELP_PRODUCTPAGE", nullptr, 0},
             {nullptr, 0, nullptr, nullptr, 0},
             {"&About", ID_HELP_ABOUT, "ID_HELP_ABOUT", nullptr, 0},
         }},
    },
};

} // namespace

namespace res {

const CDialogTemplate* FindDialog(int nId)
{
    if (nId == IDD_KORVANE_DIALOG)
        return &kMainDialog;
    if (nId == IDD_ABOUTBOX)
        return &kAboutDialog;
    return nullptr;
}

const CMenuTemplate* FindMenu(int nId) { return nId == IDR_MENU_MAIN ? &kMainMenu : nullptr; }

const char* LoadString(int nId)
{
    if (nId == IDS_ABOUTBOX)
        return "&About Korvane...";
    return "";
}

const char* ImagePath(int nId)
{
    switch (nId) {
    case IDR_MAINFRAME:
        return ":/res/korvane.png";
    case IDB_BANNER:
        return ":/res/banner.png";
    case IDC_CURSOR_HAND:
        return ":/res/hand.png";
    default:
        return nullptr;
    }
}

void CursorHotSpot(int nId, int& x, int& y)
{
    x = 0;
    y = 0;
    if (nId == IDC_CURSOR_HAND) {
        x = 5;
        y = 0;
    }
}

} // namespace res
