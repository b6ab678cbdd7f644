#pragma once
// The main window: the parse settings, the template and data texts with
// their file paths, the result list and every command on them.

#include "BannerLink.h"
#include "ListPrinter.h"
#include "export/ListExporter.h"
#include "framework/ListCtrl.h"
#include "framework/qt/DialogBase.h"

#include <QIcon>

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

    // Asks for a text file, starting at path; on OK path takes the chosen
    // file's full path and true is returned.
    bool OpenTextFile(CString& strPath);
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

protected:
    const CMessageEntry* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;

private:
    // Loads a text file into a loaded-text member and its edit box; the
    // window is left as it was, with a message, when the file cannot be read.
    void LoadTextFile(CString& strPath, CString& strLoaded, CString& strEditText);
};
