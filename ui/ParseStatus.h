#pragma once
// The status line under the result list: what the last Parse Data did, in
// one sentence, and for a walk that stopped a button that shows the line in
// the data box.

#include "engine/ParseReport.h"
#include "framework/StringTypes.h"

class CElidedLabel;
class CMultiLineEdit;
class QWidget;

class CParseStatus
{
public:
    // The line and the button under the list, and the data box.
    void Attach(CElidedLabel* pText, QWidget* pGoTo, CMultiLineEdit* pData);

    // The sentence of a run. bBoxesIgnored: the boxes were edited but the
    // texts loaded from files were parsed.
    static CString Sentence(const CParseReport& report, bool bBoxesIgnored);

    // Shows the sentence of a run; bInBox: the data box holds the text that
    // was parsed, so that its lines are the report's.
    void Show(const CParseReport& report, bool bBoxesIgnored, bool bInBox);
    void Clear();
    CString GetText() const;
    // The data line where the walk stopped (from 1), or 0.
    size_t GetStopLine() const { return m_nStopLine; }

    // Scrolls the data box to the line of the stop and selects it; false,
    // after a message, when the box does not show that line.
    bool GoToStopLine();

private:
    CElidedLabel* m_pText = nullptr;
    QWidget* m_pGoTo = nullptr;
    CMultiLineEdit* m_pData = nullptr;
    size_t m_nStopLine = 0;
};
