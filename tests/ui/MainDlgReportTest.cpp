// The status line after Parse Data and the live preview in the data box.
#include "ui/MainDlg.h"

#include "MainDlgFixture.h"
#include "support/ListDump.h"
#include "support/TempDir.h"
#include "framework/qt/ElidedLabel.h"
#include "framework/qt/MultiLineEdit.h"
#include "res/Resource.h"
#include "ui/ParsePreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

// The sample template with a separator line shorter than the data's.
const QString kShortSeparatorTemplate = "Site:      <$$Site$$>\n"
                                        "Login:     <$$Login$$>\n"
                                        "Password:  <$$Password$$>\n"
                                        "Last used: <$$Last Used$$>\n"
                                        "Notes:     <$$Notes{$$ -~$$}$$>\n"
                                        "------------------------------\n";

class MainDlgReportTest : public CMainDlgFixture
{
protected:
    CMultiLineEdit* Edit(const char* pszName) { return Find<CMultiLineEdit>(pszName); }
    std::string Status() { return Find<CElidedLabel>("IDC_STATUS_TEXT")->text().toStdString(); }
    QPushButton* GoTo() { return Find<QPushButton>("IDC_BUTTON_GOTO_LINE"); }
    void UseTheBoxes() { Find<QCheckBox>("IDC_CHECK_PARSE_FROM_EDIT")->setChecked(true); }
    // Waits until the preview shows the marks of the last change.
    void WaitForPreview()
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !m_dlg.GetPreview()->IsPending(); }, 5000));
    }
    // The marked texts of the data box, "text@line" each.
    std::vector<std::string> MarkedTexts()
    {
        std::vector<std::string> texts;
        for (const QTextEdit::ExtraSelection& mark : Edit("IDC_EDIT_DATA")->extraSelections()) {
            if (!mark.format.property(QTextFormat::FullWidthSelection).toBool())
                texts.push_back(mark.cursor.selectedText().toStdString() + "@" +
                                std::to_string(mark.cursor.blockNumber()));
        }
        return texts;
    }
};

} // namespace

TEST_F(MainDlgReportTest, TheStatusLineTellsWhatAGoodParseDid)
{
    EXPECT_EQ(Status(), "");
    EXPECT_FALSE(GoTo()->isVisibleTo(&m_dlg));
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(Status(), "7 records (48 lines, 6 blank) from login_to_url.txt.");
    EXPECT_FALSE(GoTo()->isVisibleTo(&m_dlg));

    // From the boxes the source is the data box; a field that never matched
    // is named with the first line where it failed.
    UseTheBoxes();
    Edit("IDC_EDIT_TEMPLATE")->setPlainText("Site: <$$Site$$>\nLast Used: <$$Last Used$$>");
    Edit("IDC_EDIT_DATA")->setPlainText("Site: a\nLast used: 1\nSite: b\nLast used: 2");
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(Status(),
              "2 records (4 lines) from the data box. The field \"Last Used\" never "
              "matched (first at line 2).");
}

TEST_F(MainDlgReportTest, AStopIsShownAndItsLineFoundInTheDataBox)
{
    UseTheBoxes();
    Edit("IDC_EDIT_TEMPLATE")->setPlainText(kShortSeparatorTemplate);
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(Status(),
              "Stopped at line 6 of the data after 1 record: the template's line 6 "
              "expects \"------------------------------\", the data has "
              "\"----------------------------------------\".");
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 1);
    ASSERT_TRUE(GoTo()->isVisibleTo(&m_dlg));
    // The line and its button share the row under the list, at any width.
    for (const int nWidth : {m_dlg.GetClient()->width(), m_dlg.GetClient()->minimumWidth()}) {
        m_dlg.resize(nWidth, m_dlg.height());
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_dlg.GetClient()->width() == nWidth; }));
        const QRect text = Find<CElidedLabel>("IDC_STATUS_TEXT")->geometry();
        EXPECT_FALSE(text.intersects(GoTo()->geometry())) << nWidth;
        EXPECT_TRUE(m_dlg.GetClient()->rect().contains(GoTo()->geometry())) << nWidth;
        EXPECT_GT(text.top(), m_dlg.GetDlgItem(IDC_LIST_RESULT)->geometry().bottom()) << nWidth;
    }

    QTest::mouseClick(GoTo(), Qt::LeftButton);
    CMultiLineEdit* pData = Edit("IDC_EDIT_DATA");
    EXPECT_EQ(pData->textCursor().blockNumber(), 5);
    EXPECT_EQ(pData->textCursor().selectedText(), QString(40, '-'));
    EXPECT_EQ(m_dlg.focusWidget(), pData);

    // A good parse afterwards takes the button away again.
    Edit("IDC_EDIT_TEMPLATE")
        ->setPlainText(
            QString(kShortSeparatorTemplate).replace(QString(30, '-'), QString(40, '-')));
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(Status().substr(0, 10), "7 records ");
    EXPECT_FALSE(GoTo()->isVisibleTo(&m_dlg));
}

TEST_F(MainDlgReportTest, EditedBoxesThatWereNotParsedAreNamed)
{
    // The check box is off: the loaded texts are parsed, not the boxes.
    Edit("IDC_EDIT_TEMPLATE")->setPlainText(kShortSeparatorTemplate);
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(Status(),
              "Parsed the loaded files, not the edited boxes: 7 records (48 lines, 6 "
              "blank) from login_to_url.txt.");

    // An edited data box: a stop of the loaded text has no line in it.
    CTempDir dir;
    m_fake.fileDialog.Answer(dir.Write("short.txt", kShortSeparatorTemplate.toStdString()));
    m_dlg.SendCommand(ID_FILE_LOADTEMPLATE);
    Edit("IDC_EDIT_DATA")->appendPlainText("one more line");
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(Status().substr(0, 59),
              "Parsed the loaded files, not the edited boxes: Stopped at l");
    EXPECT_FALSE(GoTo()->isVisibleTo(&m_dlg));
}

TEST_F(MainDlgReportTest, ThePreviewMarksEachValueAndTheStopAndLeavesTheListAlone)
{
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    const std::string strList = DumpList(m_dlg.m_listResult);
    const CString strLoaded = m_dlg.m_strLoadedData;

    // The values are counted in the box's characters: "é" is one.
    Edit("IDC_EDIT_TEMPLATE")->setPlainText("Név: <$$n$$>\nTel: <$$t$$>\n--");
    Edit("IDC_EDIT_DATA")->setPlainText("Név: anna\nTel: 12\n--\n\nNév: bo\nTel: x\n-");
    WaitForPreview();
    const CPreviewMarks& marks = m_dlg.GetPreview()->Marks();
    ASSERT_EQ(marks.captions, (std::vector<CString>{"n", "t"}));
    ASSERT_EQ(marks.spans.size(), 4u);
    EXPECT_EQ(marks.spans[0].nStart, 5);
    EXPECT_EQ(marks.spans[0].nLength, 4);
    EXPECT_EQ(marks.spans[1].nField, 1);
    EXPECT_EQ(MarkedTexts(), (std::vector<std::string>{"anna@0", "12@1", "bo@4", "x@5"}));
    EXPECT_EQ(marks.nStopLine, 6);
    const QList<QTextEdit::ExtraSelection> selections = Edit("IDC_EDIT_DATA")->extraSelections();
    ASSERT_FALSE(selections.isEmpty());
    EXPECT_TRUE(selections[0].format.property(QTextFormat::FullWidthSelection).toBool());
    EXPECT_EQ(selections[0].cursor.blockNumber(), 6);
    EXPECT_EQ(selections[1].format.underlineColor(), CParsePreview::FieldColor(0));
    EXPECT_EQ(selections[2].format.underlineColor(), CParsePreview::FieldColor(1));

    // A setting counts too: with the tags changed nothing is a field.
    Find<QLineEdit>("IDC_EDIT_START_TAG")->setText("[[");
    WaitForPreview();
    EXPECT_TRUE(MarkedTexts().empty());

    // The list, its columns and the members are as Parse Data left them.
    EXPECT_EQ(DumpList(m_dlg.m_listResult), strList);
    EXPECT_EQ(m_dlg.m_strLoadedData, strLoaded);
    EXPECT_EQ(m_dlg.m_strStartTag, "<$$");
    EXPECT_EQ(m_dlg.m_strTemplateText.substr(0, 5), "Site:");
}

TEST_F(MainDlgReportTest, ThePreviewCanBeSwitchedOff)
{
    WaitForPreview();
    EXPECT_EQ(MarkedTexts().size(), 35u); // the samples: seven records of five values
    m_dlg.SendCommand(ID_VIEW_LIVEPREVIEW);
    EXPECT_FALSE(m_dlg.IsMenuItemChecked(ID_VIEW_LIVEPREVIEW));
    EXPECT_TRUE(Edit("IDC_EDIT_DATA")->extraSelections().isEmpty());
    Edit("IDC_EDIT_TEMPLATE")->setPlainText("Site: <$$Site$$>");
    EXPECT_FALSE(m_dlg.GetPreview()->IsPending());
    EXPECT_TRUE(Edit("IDC_EDIT_DATA")->extraSelections().isEmpty());

    m_dlg.SendCommand(ID_VIEW_LIVEPREVIEW);
    EXPECT_TRUE(m_dlg.IsMenuItemChecked(ID_VIEW_LIVEPREVIEW));
    WaitForPreview();
    EXPECT_EQ(MarkedTexts().size(), 7u);
}

TEST_F(MainDlgReportTest, ALargeTextIsPreviewedOnItsFirstLines)
{
    CString strData;
    while (strData.size() <= CMultiLineEdit::kLargeText)
        strData += "A: 1234567890\r\n";
    m_dlg.m_strDataText = strData;
    m_dlg.UpdateData(false);
    ASSERT_TRUE(Edit("IDC_EDIT_DATA")->IsShowingPart());
    Edit("IDC_EDIT_TEMPLATE")->setPlainText("A: <$$a$$>");
    WaitForPreview();
    const CPreviewMarks& marks = m_dlg.GetPreview()->Marks();
    EXPECT_EQ(marks.spans.size(), CPreviewInput::kMaxLines);
    EXPECT_EQ(marks.spans.back().nLine, static_cast<int>(CPreviewInput::kMaxLines) - 1);
}
