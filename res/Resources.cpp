#include "Resource.h"
#include "ResourceTypes.h"

namespace {

constexpr unsigned kSingleLineEdit = CS_AUTOHSCROLL | CS_BORDER | CS_TABSTOP;
constexpr unsigned kMultiLineEdit =
    CS_MULTILINE | CS_WANTRETURN | CS_HSCROLL | CS_VSCROLL | CS_BORDER | CS_TABSTOP;

const CDialogTemplate kMainDialog = {
    IDD_KORVANE_DIALOG,
    "Korvane",
    524,
    420,
    "MS Sans Serif",
    8,
    IDR_MENU_MAIN,
    DS_CAPTION | DS_SYSMENU | DS_MINIMIZEBOX | DS_MODALFRAME | DS_APPWINDOW,
    {
        {IDC_LIST_RESULT, EControlKind::ListView,
         CS_REPORT | CS_SINGLESEL | CS_SHOWSELALWAYS | CS_BORDER | CS_TABSTOP, nullptr, 7, 269, 510,
         144, 0, "IDC_LIST_RESULT"},
        {IDC_EDIT_DATA, EControlKind::Edit, kMultiLineEdit, nullptr, 259, 137, 252, 123, 0,
         "IDC_EDIT_DATA"},
        {IDC_BUTTON_PARSE, EControlKind::DefPushButton, CS_TABSTOP, "Parse Data", 437, 80, 75, 19,
         0, "IDC_BUTTON_PARSE"},
        {IDC_BUTTON_LOAD_DATA, EControlKind::PushButton, CS_TABSTOP, "Load Txt File", 457, 112, 54,
         14, 0, "IDC_BUTTON_LOAD_DATA"},
        {IDC_EDIT_TEMPLATE, EControlKind::Edit, kMultiLineEdit, nullptr, 9, 137, 240, 123, 0,
         "IDC_EDIT_TEMPLATE"},
        {IDC_BUTTON_LOAD_TEMPLATE, EControlKind::PushButton, CS_TABSTOP, "Load Template", 193, 112,
         54, 14, 0, "IDC_BUTTON_LOAD_TEMPLATE"},
        {-1, EControlKind::Label, CS_NONE, "Template Start Tag:", 8, 84, 64, 8, 0, "labelStartTag"},
        {-1, EControlKind::Label, CS_NONE, "Template End Tag:", 108, 84, 62, 8, 0, "labelEndTag"},
        {-1, EControlKind::Label, CS_NONE, "Allowed Chars:", 261, 84, 48, 8, 0,
         "labelAllowedChars"},
        {IDC_EDIT_ALLOWED_CHARS, EControlKind::Edit, kSingleLineEdit, nullptr, 309, 82, 124, 14, 0,
         "IDC_EDIT_ALLOWED_CHARS"},
        {IDC_EDIT_START_TAG, EControlKind::Edit, kSingleLineEdit, nullptr, 75, 82, 23, 14, 0,
         "IDC_EDIT_START_TAG"},
        {IDC_EDIT_END_TAG, EControlKind::Edit, kSingleLineEdit, nullptr, 172, 82, 23, 14, 0,
         "IDC_EDIT_END_TAG"},
        {-1, EControlKind::GroupBox, CS_NONE, "Template", 7, 98, 246, 166, 0, "groupTemplate"},
        {-1, EControlKind::GroupBox, CS_NONE, "Data", 255, 98, 262, 166, 0, "groupData"},
        {-1, EControlKind::Label, CS_NONE, "Path:", 13, 113, 18, 8, 0, "labelTemplatePath"},
        {-1, EControlKind::Label, CS_NONE, "Path:", 262, 113, 18, 8, 0, "labelDataPath"},
        {IDC_EDIT_TEMPLATE_PATH, EControlKind::Edit, kSingleLineEdit, nullptr, 35, 112, 152, 14, 0,
         "IDC_EDIT_TEMPLATE_PATH"},
        {IDC_EDIT_DATA_PATH, EControlKind::Edit, kSingleLineEdit, nullptr, 285, 112, 168, 14, 0,
         "IDC_EDIT_DATA_PATH"},
        {-1, EControlKind::Label, CS_NONE, "CR/CL:", 202, 84, 24, 8, 0, "labelCrCl"},
        {IDC_EDIT_CRCL, EControlKind::Edit, kSingleLineEdit, nullptr, 227, 82, 25, 14, 0,
         "IDC_EDIT_CRCL"},
        {IDC_CHECK_PARSE_FROM_EDIT, EControlKind::CheckBox, CS_TABSTOP,
         "Parse Data From This Edit Box", 261, 127, 112, 10, 0, "IDC_CHECK_PARSE_FROM_EDIT"},
        {IDC_BANNER, EControlKind::Bitmap, CS_NOTIFY | CS_SUNKEN, nullptr, 6, 6, 511, 70,
         IDB_BANNER, "IDC_BANNER"},
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
        {-1, EControlKind::Icon, CS_NONE, nullptr, 11, 83, 20, 20, IDR_MAINFRAME, "iconAbout"},
        {-1, EControlKind::Label, CS_NOPREFIX, "Korvane Version 2.5", 43, 84, 119, 8, 0,
         "labelVersion"},
        {-1, EControlKind::Label, CS_NONE, "Copyright (C) 2026 Brenlow LLC.", 43, 99, 119, 8, 0,
         "labelNotice"},
        {IDOK, EControlKind::DefPushButton, CS_TABSTOP, "OK", 423, 79, 68, 14, 0, "IDOK"},
        {IDC_LINK, EControlKind::Label, CS_NONE, "https://korvane.example/text-to-table", 176, 99,
         110, 8, 0, "IDC_LINK"},
        {IDC_BANNER_ABOUT, EControlKind::Bitmap, CS_NOTIFY | CS_SUNKEN, nullptr, 7, 7, 510, 69,
         IDB_BANNER, "IDC_BANNER_ABOUT"},
    },
};

const CMenuTemplate kMainMenu = {
    IDR_MENU_MAIN,
    {
        {"File",
         {
             {"Copy Row", ID_FILE_COPYROW, "ID_FILE_COPYROW"},
             {"Copy All...", ID_FILE_COPYALL, "ID_FILE_COPYALL"},
             {nullptr, 0, nullptr},
             {"Save As...", ID_FILE_SAVEAS, "ID_FILE_SAVEAS"},
             {nullptr, 0, nullptr},
             {"Print...", ID_FILE_PRINT, "ID_FILE_PRINT"},
             {nullptr, 0, nullptr},
             {"Delete Row ( Del )", ID_FILE_DELETEROW, "ID_FILE_DELETEROW"},
             {"Delete List Content", ID_FILE_DELETELISTCONTENT, "ID_FILE_DELETELISTCONTENT"},
             {nullptr, 0, nullptr},
             {"Load Template", ID_FILE_LOADTEMPLATE, "ID_FILE_LOADTEMPLATE"},
             {"Load Data", ID_FILE_LOADDATA, "ID_FILE_LOADDATA"},
             {nullptr, 0, nullptr},
             {"Close...", ID_FILE_CLOSE, "ID_FILE_CLOSE"},
         }},
        {"Help",
         {
             {"Help Topics...", ID_HELP_HELPTOPICS, "ID_HELP_HELPTOPICS"},
             {nullptr, 0, nullptr},
             {"Product Page", ID_HELP_PRODUCTPAGE, "ID_HELP_PRODUCTPAGE"},
             {nullptr, 0, nullptr},
             {"About", ID_HELP_ABOUT, "ID_HELP_ABOUT"},
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
