#pragma once
// A printing device that records every call. On its own it measures text
// with simple fixed metrics (each byte is half the font's height wide, a
// line is a quarter taller than the font's height); around a real device it
// passes every call on and records the real answers.

#include "framework/PrintDevice.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

inline bool operator==(const CRect& a, const CRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const CRect& rect)
{
    return out << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom
               << ")";
}

struct CPrintOp
{
    enum EKind {
        CreateFont,
        SelectFont,
        DeleteFont,
        Extent,
        Rectangle,
        Fill,
        TextColor,
        BkTransparent,
        Text,
        StartDoc,
        StartPage,
        EndPage,
        EndDoc,
        AbortDoc,
        Scale
    };
    EKind kind = StartDoc;
    int nPage = 0;       // pages started so far
    CRect rect;          // Rectangle, Fill, Text
    CString strText;     // Extent, Text, StartDoc
    CSize size;          // Extent: the answer
    COLORREF cr = 0;     // Fill: the fill; Text, TextColor: the text colour
    unsigned nFlags = 0; // Text
    int nFont = 0;       // the font selected (SelectFont: the new one)
    int nFontHeight = 0; // the selected font's height
    bool bTransparent = false;
    double dScale = 1.0; // Scale: the new scale; otherwise the scale in force
};

struct CPrintLog
{
    std::vector<CPrintOp> ops;
    std::vector<CFontSpec> created;
    int nDeleted = 0;

    std::vector<CPrintOp> Of(CPrintOp::EKind kind) const
    {
        std::vector<CPrintOp> found;
        for (const CPrintOp& op : ops) {
            if (op.kind == kind)
                found.push_back(op);
        }
        return found;
    }
};

class CRecordingPrintDevice : public IPrintDevice
{
public:
    explicit CRecordingPrintDevice(std::shared_ptr<CPrintLog> pLog,
                                   std::unique_ptr<IPrintDevice> pInner = nullptr)
        : m_pLog(std::move(pLog)), m_pInner(std::move(pInner))
    {}

    // Fixed metrics and scripted failures, for a device without an inner one.
    int m_nDpi = 300;
    int m_nPageHeight = 1000;
    // Wide enough that no grid of the tests is scaled unless a test narrows it.
    int m_nPageWidth = 100000;
    bool m_bFailStartDoc = false;
    int m_nFailStartPage = 0; // the n-th StartPage fails (1-based); 0: none
    bool m_bFailEndDoc = false;
    CString m_strError = "The printer is out of paper.";

    int GetDeviceCaps(EDeviceCap cap) const override
    {
        if (m_pInner)
            return m_pInner->GetDeviceCaps(cap);
        if (cap == HORZRES)
            return m_nPageWidth;
        return cap == LOGPIXELSY ? m_nDpi : m_nPageHeight;
    }

    FontHandle CreateFont(const CFontSpec& request) override
    {
        m_pLog->created.push_back(request);
        const FontHandle hFont = m_pInner ? m_pInner->CreateFont(request) : m_nNextFont++;
        m_heights[hFont] = request.nHeight;
        Record(CPrintOp::CreateFont).nFont = hFont;
        return hFont;
    }
    void SelectFont(FontHandle hFont) override
    {
        if (m_pInner)
            m_pInner->SelectFont(hFont);
        m_hFont = hFont;
        Record(CPrintOp::SelectFont);
    }
    void DeleteFont(FontHandle hFont) override
    {
        if (m_pInner)
            m_pInner->DeleteFont(hFont);
        ++m_pLog->nDeleted;
        Record(CPrintOp::DeleteFont).nFont = hFont;
    }
    CSize GetTextExtent(const CString& strText) override
    {
        CSize size;
        if (m_pInner) {
            size = m_pInner->GetTextExtent(strText);
        } else {
            const int nHeight = std::abs(Height());
            size.cx = static_cast<int>(strText.size()) * (nHeight / 2);
            size.cy = nHeight + nHeight / 4;
        }
        CPrintOp& op = Record(CPrintOp::Extent);
        op.strText = strText;
        op.size = size;
        return size;
    }
    void Rectangle(const CRect& rect) override
    {
        if (m_pInner)
            m_pInner->Rectangle(rect);
        Record(CPrintOp::Rectangle).rect = rect;
    }
    void FillSolidRect(const CRect& rect, COLORREF crFill) override
    {
        if (m_pInner)
            m_pInner->FillSolidRect(rect, crFill);
        CPrintOp& op = Record(CPrintOp::Fill);
        op.rect = rect;
        op.cr = crFill;
    }
    void SetTextColor(COLORREF crText) override
    {
        if (m_pInner)
            m_pInner->SetTextColor(crText);
        m_crText = crText;
        Record(CPrintOp::TextColor);
    }
    void SetBkModeTransparent() override
    {
        if (m_pInner)
            m_pInner->SetBkModeTransparent();
        m_bTransparent = true;
        Record(CPrintOp::BkTransparent);
    }
    void DrawText(const CString& strText, const CRect& rect, unsigned nFlags) override
    {
        if (m_pInner)
            m_pInner->DrawText(strText, rect, nFlags);
        CPrintOp& op = Record(CPrintOp::Text);
        op.strText = strText;
        op.rect = rect;
        op.nFlags = nFlags;
    }

    void SetScale(double dScale, int nOriginX, int nOriginY) override
    {
        if (m_pInner)
            m_pInner->SetScale(dScale, nOriginX, nOriginY);
        m_dScale = dScale;
        CPrintOp& op = Record(CPrintOp::Scale);
        op.rect = CRect{nOriginX, nOriginY, nOriginX, nOriginY};
    }

    bool StartDoc(const CString& strDocName) override
    {
        Record(CPrintOp::StartDoc).strText = strDocName;
        if (m_pInner)
            return m_pInner->StartDoc(strDocName);
        return !m_bFailStartDoc;
    }
    bool StartPage() override
    {
        ++m_nStartPageCalls;
        if (m_pInner ? !m_pInner->StartPage() : m_nStartPageCalls == m_nFailStartPage)
            return false;
        ++m_nPage;
        Record(CPrintOp::StartPage);
        return true;
    }
    bool EndPage() override
    {
        Record(CPrintOp::EndPage);
        return m_pInner ? m_pInner->EndPage() : true;
    }
    bool EndDoc() override
    {
        Record(CPrintOp::EndDoc);
        return m_pInner ? m_pInner->EndDoc() : !m_bFailEndDoc;
    }
    void AbortDoc() override
    {
        Record(CPrintOp::AbortDoc);
        if (m_pInner)
            m_pInner->AbortDoc();
    }
    CString GetLastError() const override
    {
        return m_pInner ? m_pInner->GetLastError() : m_strError;
    }

private:
    int Height() const
    {
        const auto it = m_heights.find(m_hFont);
        return it == m_heights.end() ? 0 : it->second;
    }
    CPrintOp& Record(CPrintOp::EKind kind)
    {
        CPrintOp op;
        op.kind = kind;
        op.nPage = m_nPage;
        op.cr = m_crText;
        op.nFont = m_hFont;
        op.nFontHeight = Height();
        op.bTransparent = m_bTransparent;
        op.dScale = m_dScale;
        m_pLog->ops.push_back(op);
        return m_pLog->ops.back();
    }

    std::shared_ptr<CPrintLog> m_pLog;
    std::unique_ptr<IPrintDevice> m_pInner;
    std::map<FontHandle, int> m_heights;
    FontHandle m_nNextFont = 1;
    FontHandle m_hFont = 0;
    COLORREF m_crText = RGB(0, 0, 0);
    bool m_bTransparent = false;
    double m_dScale = 1.0;
    int m_nPage = 0;
    int m_nStartPageCalls = 0;
};
