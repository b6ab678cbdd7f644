#pragma once
// Places the controls of a dialog for any client size.
//
// The platform's dialogs have the fixed size of their layout. A window on a
// Linux desktop is expected to take a sizing border and a maximise button,
// and on a small screen at a high scale factor a layout may not fit at all;
// this stands in for the platform's fixed placement with one that follows
// the size. At the layout's own size (the base size) every control stands
// where the layout puts it. Wider or narrower, each control's left edge
// moves by its nMoveX percent and its right edge by nMoveX + nSizeX percent
// of the difference. Taller or lower, the dialog's strips change height
// (CStripTemplate) and every top and bottom edge follows them.
//
// Before the controls are placed, MakeRoomForText gives a caption that does
// not fit its rectangle in the dialog's font the free room beside and above
// it, so that no text is cut and no control is drawn over another at any
// font or scale.

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

class CDialogLayout
{
public:
    struct CItem
    {
        QWidget* pWidget = nullptr;
        QRect rect; // at the base size, in pixels
        int nMoveX = 0;
        int nSizeX = 0;
        QSize minSize; // the least size at which the control is usable
        bool bGroup = false;
        bool bText = false; // a caption that MakeRoomForText may widen
    };

    void SetBaseSize(const QSize& size) { m_baseSize = size; }
    QSize BaseSize() const { return m_baseSize; }
    // A strip in pixels at the base size.
    void AddStrip(int nTop, int nBottom, int nGrow, int nMinHeight);
    void Add(const CItem& item) { m_items.push_back(item); }
    const std::vector<CItem>& Items() const { return m_items; }

    // Widens (or heightens) every text item whose widget's size hint and a
    // gap of nGap pixels do not fit its rectangle, into room that no other
    // control takes, keeping nGap pixels from its neighbours. False when
    // some caption still does not fit.
    bool MakeRoomForText(int nGap);

    QRect RectAt(size_t nItem, const QSize& client) const;
    void Apply(const QSize& client) const;

    // True when every control keeps its minimum size, stays inside the
    // client area, stays inside every group that holds it at the base size
    // and overlaps no control it does not overlap at the base size.
    bool IsValidAt(const QSize& client) const;
    // The least client size that is valid; the base size when the layout
    // cannot shrink.
    QSize MinimumSize() const;

private:
    struct CStrip
    {
        int nTop, nBottom, nGrow, nMinHeight;
    };
    // The change of each strip's height at a client height.
    std::vector<int> StripDeltas(int nHeight) const;
    int MapY(int y, const std::vector<int>& deltas) const;
    int OffsetX(int nPercent, int nWidth) const;
    // How far the item may grow to each side before it reaches another
    // control or leaves its group or the client area.
    int RoomRight(size_t nItem, int nGap) const;
    int RoomLeft(size_t nItem, int nGap) const;
    int RoomAbove(size_t nItem, int nGap) const;
    int RoomBelow(size_t nItem, int nGap) const;

    QSize m_baseSize;
    std::vector<CStrip> m_strips;
    std::vector<CItem> m_items;
};
