#pragma once
// The main window: the parse settings, the template and data texts with
// their file paths, the result list and every command on them.

#include "BannerLink.h"
#include "ListPrinter.h"
#include "ParseStatus.h"
#include "export/ListExporter.h"
#include "framework/ListCtrl.h"
#include "framework/qt/DialogBase.h"

#include <QIcon>

#include <memory>

class CParsePreview;

class CMainDlg : public CDialogBase
{
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* pParent = nullptr);
    ~CMainDlg() override;

    // The folder of the sample texts: the executable's path with its own
    // file name (the last path component only) replaced by "Sample1/".
    static CString SampleFolderFor(const CString& strExecutable);

    // Command handlers (public so tools can reach them; tests send ids).
    void OnParseData();
    void OnLoadTemplate();
    void OnLoadData();
    void OnRclickList(const CNotify& notify, long* pResult);
    void OnKeydownList(const CNotify& notify, long* pResult);
    void OnCopyRow();
    void OnCopyAll();
    void OnSaveAs();
    void OnPrintList();
    void OnDeleteRow();
    void OnDeleteListContent();
    void OnCloseCmd();
    void OnProductPage();
    void OnAbout();
    void OnHelpTopics();
    void OnHelpInfo();
    void OnGoToLine();
    void OnLivePreview();

    // Asks for a text file, starting at path; on OK path takes the chosen
    // file's full path and true is returned.
    bool OpenTextFile(CString& strPath);
    // Whether the window may close: true when the result list holds no rows
    // that were not kept since the last Parse Data, or the user agrees to
    // discard them.
    bool QueryDiscardRows();
    bool CopyRowToClipboard(const CListCtrl& list);
    void DeleteSelectedRow();

    CListPrinter m_printer;
    CListExporter m_exporter;
    CString m_strLoadedTemplate;
    CString m_strLastTemplate;
    CString m_strLoadedData;
    CBannerLink m_bannerLink;
    CListCtrl m_listResult;
    CString m_strDataText;
    CString m_strTemplateText;
    CString m_strAllowedChars;
    CString m_strStartTag;
    CString m_strEndTag;
    CString m_strTemplatePath;
    CString m_strDataPath;
    CString m_strCrCl;
    bool m_bParseFromEditBox;
    QIcon m_hIcon;
    // The rows of the last Parse Data have been neither saved to a file,
    // copied as a whole nor printed. Deleting rows does not change it.
    bool m_bRowsUnsaved = false;
    // The files whose texts m_strLoadedTemplate and m_strLoadedData hold
    // (empty when none was read); Save As asks before it replaces one.
    CString m_strLoadedTemplateFile;
    CString m_strLoadedDataFile;
    // The status line under the list.
    CParseStatus m_status;
    bool m_bLivePreview = true;

    // The live preview of the template on the data box (never nullptr once
    // the window is built).
    CParsePreview* GetPreview() const { return m_pPreview.get(); }

protected:
    const CMessageEntry* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    // Escape, Close and the window's close button: asks before rows that
    // were not kept are lost.
    void OnCancel() override;
    // Catches files dragged onto the two text groups.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    enum class EDropTarget { None, Template, Data };

    // Where a loaded text goes: the path member, the loaded text with the
    // file it came from, and the edit box's member.
    struct CTextSlot
    {
        CString& strPath;
        CString& strLoaded;
        CString& strLoadedFile;
        CString& strEditText;
    };
    CTextSlot TemplateSlot();
    CTextSlot DataSlot();
    // Asks for a text file and loads it into a loaded-text member and its
    // edit box.
    void LoadTextFile(const CTextSlot& slot);
    // Loads strChosen as the above does once a file is chosen; the window is
    // left as it was, with a message, when the file cannot be read.
    void LoadTextFileFrom(const CString& strChosen, const CTextSlot& slot);
    // A file dropped on the Template group loads as Load Template does, one
    // dropped on the Data group as Load Data does.
    void AcceptFileDrops();
    EDropTarget DropTargetAt(const QPoint& ptClient) const;
    void LoadDroppedFile(EDropTarget target, const CString& strPath);
    // The status line, the live preview and the source of a run.
    void SetUpReportAndPreview();
    void ShowParseReport(const CParseReport& report);

    std::unique_ptr<CParsePreview> m_pPreview;
};
