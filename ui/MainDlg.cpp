#include "MainDlg.h"

#include "AboutDlg.h"
#include "HelpPath.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "framework/Memory.h"
#include "framework/Platform.h"
#include "framework/ProductInfo.h"
#include "framework/qt/ResourceImages.h"
#include "res/Resource.h"

#include <QMenu>
#include <memory>

namespace {
const char* const kTableName = "KorvaneData";
const char* const kPrintTitle = "Data List";
const char* const kOpenFilter = "Text Files (*.txt)||";
} // namespace

CMainDlg::CMainDlg(QWidget* pParent)
    : CDialogBase(IDD_KORVANE_DIALOG, pParent), m_bParseFromEditBox(false),
      m_hIcon(res::LoadIcon(IDR_MAINFRAME))
{
    const CParseSettings defaults = DefaultParseSettings();
    m_strAllowedChars = defaults.strAllowedChars;
    m_strStartTag = defaults.strStartTag;
    m_strEndTag = defaults.strEndTag;
    m_strCrCl = defaults.strCrCl;
}

CMainDlg::~CMainDlg() = default;

const CMessageEntry* CMainDlg::GetMessageMap() const
{
    static const CMessageEntry kMap[] = {
        ON_BN_CLICKED(IDC_BUTTON_PARSE, &CMainDlg::OnParseData),
        ON_BN_CLICKED(IDC_BUTTON_LOAD_TEMPLATE, &CMainDlg::OnLoadTemplate),
        ON_COMMAND(ID_FILE_LOADTEMPLATE, &CMainDlg::OnLoadTemplate),
        ON_BN_CLICKED(IDC_BUTTON_LOAD_DATA, &CMainDlg::OnLoadData),
        ON_COMMAND(ID_FILE_LOADDATA, &CMainDlg::OnLoadData),
        ON_NOTIFY(NM_RCLICK, IDC_LIST_RESULT, &CMainDlg::OnRclickList),
        ON_NOTIFY(LVN_KEYDOWN, IDC_LIST_RESULT, &CMainDlg::OnKeydownList),
        ON_COMMAND(ID_FILE_COPYROW, &CMainDlg::OnCopyRow),
        ON_COMMAND(ID_FILE_COPYALL, &CMainDlg::OnCopyAll),
        ON_COMMAND(ID_FILE_SAVEAS, &CMainDlg::OnSaveAs),
        ON_COMMAND(ID_FILE_PRINT, &CMainDlg::OnPrintList),
        ON_COMMAND(ID_FILE_DELETEROW, &CMainDlg::OnDeleteRow),
        ON_COMMAND(ID_FILE_DELETELISTCONTENT, &CMainDlg::OnDeleteListContent),
        ON_COMMAND(ID_FILE_CLOSE, &CMainDlg::OnCloseCmd),
        ON_COMMAND(ID_HELP_PRODUCTPAGE, &CMainDlg::OnProductPage),
        ON_COMMAND(ID_HELP_ABOUT, &CMainDlg::OnAbout),
        ON_COMMAND(ID_HELP_HELPTOPICS, &CMainDlg::OnHelpTopics),
        ON_WM_HELPINFO(&CMainDlg::OnHelpInfo),
        END_MESSAGE_MAP(),
    };
    return kMap;
}

void CMainDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialogBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BANNER, m_bannerLink);
    DDX_Control(pDX, IDC_LIST_RESULT, m_listResult);
    DDX_Text(pDX, IDC_EDIT_DATA, m_strDataText);
    DDX_Text(pDX, IDC_EDIT_TEMPLATE, m_strTemplateText);
    DDX_Text(pDX, IDC_EDIT_ALLOWED_CHARS, m_strAllowedChars);
    DDX_Text(pDX, IDC_EDIT_START_TAG, m_strStartTag);
    DDX_Text(pDX, IDC_EDIT_END_TAG, m_strEndTag);
    DDX_Text(pDX, IDC_EDIT_TEMPLATE_PATH, m_strTemplatePath);
    DDX_Text(pDX, IDC_EDIT_DATA_PATH, m_strDataPath);
    DDX_Text(pDX, IDC_EDIT_CRCL, m_strCrCl);
    DDX_Check(pDX, IDC_CHECK_PARSE_FROM_EDIT, m_bParseFromEditBox);
}

CString CMainDlg::SampleFolderFor(const CString& strExecutable)
{
    const size_t nSlash = strExecutable.rfind('/');
    const CString strFolder =
        nSlash == CString::npos ? CString() : strExecutable.substr(0, nSlash + 1);
    return strFolder + "Sample1/";
}

bool CMainDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();

    // A Linux window has no system menu a program can extend, so the About
    // item stays in the Help menu only; the window manager draws the icon,
    // also while the window is minimised.
    setWindowIcon(m_hIcon);

    InitResultList(m_listResult);

    const CString strSamples =
        SampleFolderFor(platform::SharedFilesPathFor(platform::GetModuleFileName()));
    m_strTemplatePath = strSamples + "login_to_url_template.txt";
    m_strDataPath = strSamples + "login_to_url.txt";

    // The lines of each file joined with CR LF after every line; a missing
    // sample leaves its texts empty, without a message.
    m_strLoadedTemplate.clear();
    CLineArray::LoadJoined(m_strTemplatePath, "\r\n", m_strLoadedTemplate);
    m_strTemplateText = m_strLoadedTemplate;
    m_strLoadedData.clear();
    CLineArray::LoadJoined(m_strDataPath, "\r\n", m_strLoadedData);
    m_strDataText = m_strLoadedData;

    UpdateData(false);
    return true;
}

void CMainDlg::OnParseData()
{
    CWaitCursor wait;
    UpdateData(true);
    OnDeleteListContent();
    CParseSettings settings;
    settings.strStartTag = m_strStartTag;
    settings.strEndTag = m_strEndTag;
    settings.strAllowedChars = m_strAllowedChars;
    settings.strCrCl = m_strCrCl;
    const CString& strTemplate = m_bParseFromEditBox ? m_strTemplateText : m_strLoadedTemplate;
    const CString& strData = m_bParseFromEditBox ? m_strDataText : m_strLoadedData;
    RunParse(m_listResult, settings, strTemplate, strData, m_strLastTemplate);
    UpdateData(false);
}

bool CMainDlg::OpenTextFile(CString& strPath)
{
    const CString strCurrentDir = platform::GetCurrentDirectory();
    CFileDialogRequest request;
    request.bOpen = true;
    request.strFilter = kOpenFilter;
    request.strInitialDir = strPath;
    request.bOverwritePrompt = true;
    const CFileDialogResult chosen = platform::FileDialog().Run(request);
    if (!chosen.bOk)
        return false;
    strPath = chosen.strPath;
    platform::SetCurrentDirectory(strCurrentDir);
    return true;
}

void CMainDlg::LoadTextFile(CString& strPath, CString& strLoaded, CString& strEditText)
{
    UpdateData(true);
    CString strChosen = strPath;
    if (OpenTextFile(strChosen)) {
        CWaitCursor wait;
        CString strText;
        CString strError;
        if (CLineArray::LoadJoined(strChosen, "\r\n", strText, &strError)) {
            strPath = strChosen;
            strLoaded = std::move(strText);
            mem::AssignLarge(strEditText, strLoaded);
        } else {
            platform::MessageBox().Show(strError, EMessageIcon::Exclamation);
        }
    }
    UpdateData(false);
}

void CMainDlg::OnLoadTemplate()
{
    LoadTextFile(m_strTemplatePath, m_strLoadedTemplate, m_strTemplateText);
}

void CMainDlg::OnLoadData() { LoadTextFile(m_strDataPath, m_strLoadedData, m_strDataText); }

void CMainDlg::OnRclickList(const CNotify& notify, long* pResult)
{
    std::unique_ptr<QMenu> pMenu(CreatePopupMenu(IDR_MENU_MAIN, 0));
    if (pMenu != nullptr) {
        pMenu->setObjectName(QStringLiteral("contextMenu"));
        pMenu->exec(notify.ptScreen);
    }
    *pResult = 0;
}

void CMainDlg::OnKeydownList(const CNotify& notify, long* pResult)
{
    if (notify.nKey == VK_DELETE)
        DeleteSelectedRow();
    *pResult = 0;
}

bool CMainDlg::CopyRowToClipboard(const CListCtrl& list)
{
    const int nRow = list.GetNextSelectedItem(-1);
    if (nRow < 0)
        return false;
    CString strText;
    for (int j = 0; j < list.GetColumnCount(); ++j) {
        strText += list.GetItemText(nRow, j);
        if (j != list.GetColumnCount() - 1)
            strText += '\t';
    }
    return platform::Clipboard().SetText(strText);
}

void CMainDlg::OnCopyRow() { CopyRowToClipboard(m_listResult); }

void CMainDlg::OnCopyAll()
{
    CWaitCursor wait;
    m_exporter.CopyAllToClipboard(m_listResult);
}

void CMainDlg::OnSaveAs() { m_exporter.SaveAs(m_listResult, kTableName); }

void CMainDlg::OnPrintList() { m_printer.PrintList(m_listResult, kPrintTitle); }

void CMainDlg::DeleteSelectedRow()
{
    const int nRow = m_listResult.GetNextSelectedItem(-1);
    if (nRow >= 0)
        m_listResult.DeleteItem(nRow);
}

void CMainDlg::OnDeleteRow() { DeleteSelectedRow(); }

void CMainDlg::OnDeleteListContent() { m_listResult.DeleteAllItems(); }

void CMainDlg::OnCloseCmd() { OnCancel(); }

void CMainDlg::OnProductPage()
{
    platform::WebBrowser().OpenUrl(CString(product::kProductPageUrl) + product::kPageQuery);
}

void CMainDlg::OnAbout()
{
    CAboutDlg dlg(this);
    dlg.DoModal();
}

void CMainDlg::OnHelpTopics()
{
    // The path the application object holds, formed here so that the window
    // needs no application object (tests and tools run it without one).
    platform::HelpViewer().ShowHelp(ProgramHelpPath());
}

void CMainDlg::OnHelpInfo() { OnHelpTopics(); }
