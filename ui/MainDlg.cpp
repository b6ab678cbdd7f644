#include "MainDlg.h"
#include "framework/qt/DataExchange.h"

#include "AboutDlg.h"
#include "HelpPath.h"
#include "ParsePreview.h"
#include "engine/LineArray.h"
#include "engine/ParseCommand.h"
#include "engine/ParseReport.h"
#include "framework/Memory.h"
#include "framework/Platform.h"
#include "framework/ProductInfo.h"
#include "framework/qt/ElidedLabel.h"
#include "framework/qt/ListView.h"
#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/ResourceImages.h"
#include "res/Resource.h"

#include "framework/qt/QtString.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <memory>

namespace {
const char* const kTableName = "KorvaneData";
const char* const kPrintTitle = "Data List";
// All Files too: logs, system files and text without an extension are
// common inputs on Linux.
const char* const kOpenFilter = "Text Files (*.txt)|*.txt|All Files (*)|*||";

// The first local file of a drag, or the empty string.
CString DraggedFile(const QMimeData* pData)
{
    if (pData == nullptr || !pData->hasUrls())
        return {};
    for (const QUrl& url : pData->urls()) {
        if (url.isLocalFile())
            return FromQt(url.toLocalFile());
    }
    return {};
}

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
        ON_BN_CLICKED(IDC_BUTTON_GOTO_LINE, &CMainDlg::OnGoToLine),
        ON_COMMAND(ID_VIEW_LIVEPREVIEW, &CMainDlg::OnLivePreview),
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
    if (CLineArray::LoadJoined(m_strTemplatePath, "\r\n", m_strLoadedTemplate))
        m_strLoadedTemplateFile = m_strTemplatePath;
    m_strTemplateText = m_strLoadedTemplate;
    m_strLoadedData.clear();
    if (CLineArray::LoadJoined(m_strDataPath, "\r\n", m_strLoadedData))
        m_strLoadedDataFile = m_strDataPath;
    m_strDataText = m_strLoadedData;

    UpdateData(false);
    AcceptFileDrops();
    SetUpReportAndPreview();
    return true;
}

void CMainDlg::SetUpReportAndPreview()
{
    auto* pData = qobject_cast<CMultiLineEdit*>(GetDlgItem(IDC_EDIT_DATA));
    m_status.Attach(qobject_cast<CElidedLabel*>(GetDlgItem(IDC_STATUS_TEXT)),
                    GetDlgItem(IDC_BUTTON_GOTO_LINE), pData);
    CParsePreview::CSources sources;
    sources.pTemplate = qobject_cast<CMultiLineEdit*>(GetDlgItem(IDC_EDIT_TEMPLATE));
    sources.pData = pData;
    sources.pStartTag = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_START_TAG));
    sources.pEndTag = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_END_TAG));
    sources.pAllowedChars = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_ALLOWED_CHARS));
    sources.pCrCl = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_CRCL));
    if (auto* pView = qobject_cast<CListView*>(GetDlgItem(IDC_LIST_RESULT)))
        sources.pHeader = pView->horizontalHeader();
    m_pPreview = std::make_unique<CParsePreview>(sources);
    m_pPreview->SetEnabled(m_bLivePreview);
    CheckMenuItem(ID_VIEW_LIVEPREVIEW, m_bLivePreview);
}

void CMainDlg::AcceptFileDrops()
{
    QWidget* pClient = GetClient();
    pClient->setAcceptDrops(true);
    pClient->installEventFilter(this);
    // The boxes take drops of their own (text); a file is caught first.
    for (QWidget* pChild : pClient->findChildren<QWidget*>()) {
        if (pChild->acceptDrops())
            pChild->installEventFilter(this);
    }
}

bool CMainDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    const QEvent::Type type = pEvent->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return CDialogBase::eventFilter(pWatched, pEvent);
    auto* pDrop = static_cast<QDropEvent*>(pEvent);
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    const CString strFile = DraggedFile(pDrop->mimeData());
    const EDropTarget target = pWidget != nullptr
        ? DropTargetAt(pWidget->mapTo(GetClient(), pDrop->position().toPoint()))
        : EDropTarget::None;
    if (strFile.empty() || target == EDropTarget::None)
        return CDialogBase::eventFilter(pWatched, pEvent);
    pDrop->setDropAction(Qt::CopyAction);
    pDrop->accept();
    if (type == QEvent::Drop)
        LoadDroppedFile(target, strFile);
    return true;
}

CMainDlg::EDropTarget CMainDlg::DropTargetAt(const QPoint& ptClient) const
{
    const QWidget* pTemplate = GetClient()->findChild<QWidget*>(QStringLiteral("groupTemplate"));
    const QWidget* pData = GetClient()->findChild<QWidget*>(QStringLiteral("groupData"));
    if (pTemplate != nullptr && pTemplate->geometry().contains(ptClient))
        return EDropTarget::Template;
    if (pData != nullptr && pData->geometry().contains(ptClient))
        return EDropTarget::Data;
    return EDropTarget::None;
}

void CMainDlg::LoadDroppedFile(EDropTarget target, const CString& strPath)
{
    LoadTextFileFrom(strPath, target == EDropTarget::Template ? TemplateSlot() : DataSlot());
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
    m_status.Clear();
    CParseReport report;
    RunParse(m_listResult, settings, strTemplate, strData, m_strLastTemplate, &report);
    m_bRowsUnsaved = m_listResult.GetItemCount() > 0;
    ShowParseReport(report);
    UpdateData(false);
}

void CMainDlg::ShowParseReport(const CParseReport& report)
{
    CParseReport shown = report;
    const size_t nSlash = m_strLoadedDataFile.rfind('/');
    if (m_bParseFromEditBox)
        shown.strSource = "the data box";
    else if (!m_strLoadedDataFile.empty())
        shown.strSource = m_strLoadedDataFile.substr(nSlash == CString::npos ? 0 : nSlash + 1);
    // The boxes hold the loaded texts until the user edits them; the line
    // of a stop is found in the data box only when it holds the parsed text.
    const bool bDataInBox = m_bParseFromEditBox || m_strDataText == m_strLoadedData;
    const bool bBoxesIgnored =
        !m_bParseFromEditBox && (!bDataInBox || m_strTemplateText != m_strLoadedTemplate);
    m_status.Show(shown, bBoxesIgnored, bDataInBox);
}

void CMainDlg::OnGoToLine() { m_status.GoToStopLine(); }

void CMainDlg::OnLivePreview()
{
    m_bLivePreview = !m_bLivePreview;
    CheckMenuItem(ID_VIEW_LIVEPREVIEW, m_bLivePreview);
    if (m_pPreview != nullptr)
        m_pPreview->SetEnabled(m_bLivePreview);
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

CMainDlg::CTextSlot CMainDlg::TemplateSlot()
{
    return {m_strTemplatePath, m_strLoadedTemplate, m_strLoadedTemplateFile, m_strTemplateText};
}

CMainDlg::CTextSlot CMainDlg::DataSlot()
{
    return {m_strDataPath, m_strLoadedData, m_strLoadedDataFile, m_strDataText};
}

void CMainDlg::LoadTextFile(const CTextSlot& slot)
{
    UpdateData(true);
    CString strChosen = slot.strPath;
    if (OpenTextFile(strChosen))
        LoadTextFileFrom(strChosen, slot);
    else
        UpdateData(false);
}

void CMainDlg::LoadTextFileFrom(const CString& strChosen, const CTextSlot& slot)
{
    UpdateData(true);
    CWaitCursor wait;
    CString strText;
    CString strError;
    if (CLineArray::LoadJoined(strChosen, "\r\n", strText, &strError)) {
        slot.strPath = strChosen;
        slot.strLoaded = std::move(strText);
        slot.strLoadedFile = strChosen;
        mem::AssignLarge(slot.strEditText, slot.strLoaded);
    } else {
        platform::MessageBox().Show(strError, EMessageIcon::Exclamation);
    }
    UpdateData(false);
}

void CMainDlg::OnLoadTemplate() { LoadTextFile(TemplateSlot()); }

void CMainDlg::OnLoadData() { LoadTextFile(DataSlot()); }

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
    if (m_exporter.CopyAllToClipboard(m_listResult))
        m_bRowsUnsaved = false;
}

void CMainDlg::OnSaveAs()
{
    CListExporter::CLoadedFiles loaded;
    loaded.strDataPath = m_strLoadedDataFile;
    loaded.strTemplatePath = m_strLoadedTemplateFile;
    bool bWritten = false;
    m_exporter.SaveAs(m_listResult, kTableName, loaded, bWritten);
    if (bWritten)
        m_bRowsUnsaved = false;
}

void CMainDlg::OnPrintList()
{
    // Printing nothing without a word would look like a printer fault.
    if (m_listResult.GetItemCount() < 1) {
        platform::MessageBox().Show("The result list has no rows: there is nothing to print.",
                                    EMessageIcon::Information);
        return;
    }
    if (m_printer.PrintList(m_listResult, kPrintTitle))
        m_bRowsUnsaved = false;
}

void CMainDlg::DeleteSelectedRow()
{
    const int nRow = m_listResult.GetNextSelectedItem(-1);
    if (nRow >= 0)
        m_listResult.DeleteItem(nRow);
}

void CMainDlg::OnDeleteRow() { DeleteSelectedRow(); }

void CMainDlg::OnDeleteListContent() { m_listResult.DeleteAllItems(); }

void CMainDlg::OnCloseCmd() { OnCancel(); }

void CMainDlg::OnCancel()
{
    if (QueryDiscardRows())
        CDialogBase::OnCancel();
}

bool CMainDlg::QueryDiscardRows()
{
    const int nRows = m_listResult.GetItemCount();
    if (!m_bRowsUnsaved || nRows < 1)
        return true;
    const CString strRows =
        nRows == 1 ? CString("the 1 row") : "the " + std::to_string(nRows) + " rows";
    return platform::MessageBox().AskYesNo("Discard " + strRows + " of the result list?");
}

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
