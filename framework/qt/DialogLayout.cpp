#include "DialogLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Right and bottom edges one past the last pixel, as the layout reckons.
int Right(const QRect& rect) { return rect.x() + rect.width(); }
int Bottom(const QRect& rect) { return rect.y() + rect.height(); }

bool Contains(const QRect& outer, const QRect& inner)
{
    return inner.x() >= outer.x() && inner.y() >= outer.y() && Right(inner) <= Right(outer) &&
        Bottom(inner) <= Bottom(outer);
}

bool Overlaps(int nFrom1, int nTo1, int nFrom2, int nTo2) { return nFrom1 < nTo2 && nFrom2 < nTo1; }

bool Intersect(const QRect& a, const QRect& b)
{
    return Overlaps(a.x(), Right(a), b.x(), Right(b)) &&
        Overlaps(a.y(), Bottom(a), b.y(), Bottom(b));
}

} // namespace

void CDialogLayout::AddStrip(int nTop, int nBottom, int nGrow, int nMinHeight)
{
    m_strips.push_back({nTop, nBottom, nGrow, std::min(nMinHeight, nBottom - nTop)});
    std::sort(m_strips.begin(), m_strips.end(),
              [](const CStrip& a, const CStrip& b) { return a.nTop < b.nTop; });
}

// --- room for captions ---

int CDialogLayout::RoomRight(size_t nItem, int nGap) const
{
    const QRect& rect = m_items[nItem].rect;
    int nLimit = m_baseSize.width() - nGap;
    for (size_t j = 0; j < m_items.size(); ++j) {
        const QRect& other = m_items[j].rect;
        if (j == nItem)
            continue;
        if (m_items[j].bGroup && Contains(other, rect))
            nLimit = std::min(nLimit, Right(other) - 2 * nGap);
        else if (Overlaps(rect.y(), Bottom(rect), other.y(), Bottom(other)) &&
                 other.x() >= Right(rect))
            nLimit = std::min(nLimit, other.x() - nGap);
    }
    return std::max(0, nLimit - Right(rect));
}

int CDialogLayout::RoomLeft(size_t nItem, int nGap) const
{
    const QRect& rect = m_items[nItem].rect;
    int nLimit = nGap;
    for (size_t j = 0; j < m_items.size(); ++j) {
        const QRect& other = m_items[j].rect;
        if (j == nItem)
            continue;
        if (m_items[j].bGroup && Contains(other, rect))
            nLimit = std::max(nLimit, other.x() + 2 * nGap);
        else if (Overlaps(rect.y(), Bottom(rect), other.y(), Bottom(other)) &&
                 Right(other) <= rect.x())
            nLimit = std::max(nLimit, Right(other) + nGap);
    }
    return std::max(0, rect.x() - nLimit);
}

int CDialogLayout::RoomAbove(size_t nItem, int nGap) const
{
    const QRect& rect = m_items[nItem].rect;
    int nLimit = 0;
    for (size_t j = 0; j < m_items.size(); ++j) {
        const QRect& other = m_items[j].rect;
        if (j == nItem || m_items[j].bGroup)
            continue;
        if (Overlaps(rect.x(), Right(rect), other.x(), Right(other)) && Bottom(other) <= rect.y())
            nLimit = std::max(nLimit, Bottom(other) + nGap);
    }
    return std::max(0, rect.y() - nLimit);
}

int CDialogLayout::RoomBelow(size_t nItem, int nGap) const
{
    const QRect& rect = m_items[nItem].rect;
    int nLimit = m_baseSize.height();
    for (size_t j = 0; j < m_items.size(); ++j) {
        const QRect& other = m_items[j].rect;
        if (j == nItem || m_items[j].bGroup)
            continue;
        if (Overlaps(rect.x(), Right(rect), other.x(), Right(other)) && other.y() >= Bottom(rect))
            nLimit = std::min(nLimit, other.y() - nGap);
    }
    return std::max(0, nLimit - Bottom(rect));
}

bool CDialogLayout::MakeRoomForText(int nGap)
{
    bool bAllFit = true;
    for (size_t i = 0; i < m_items.size(); ++i) {
        CItem& item = m_items[i];
        if (!item.bText || item.pWidget == nullptr)
            continue;
        // The text and a gap after it, so that it never runs into the
        // control it names.
        const QSize hint = item.pWidget->sizeHint();
        // Room on the right first, so that a caption keeps its start.
        int nNeed = hint.width() + nGap - item.rect.width();
        if (nNeed > 0) {
            const int nRight = std::min(nNeed, RoomRight(i, nGap));
            item.rect.setWidth(item.rect.width() + nRight);
            nNeed -= nRight;
            const int nLeft = std::min(nNeed, RoomLeft(i, nGap));
            item.rect.adjust(-nLeft, 0, 0, 0);
            nNeed -= nLeft;
            bAllFit = bAllFit && nNeed <= nGap;
        }
        // A line of text must not lose its descenders; the rectangle grows
        // evenly up and down where there is room.
        int nNeedHeight = item.pWidget->fontMetrics().height() - item.rect.height();
        if (nNeedHeight > 0) {
            const int nUp = std::min((nNeedHeight + 1) / 2, RoomAbove(i, 0));
            item.rect.adjust(0, -nUp, 0, 0);
            nNeedHeight -= nUp;
            const int nDown = std::min(nNeedHeight, RoomBelow(i, 0));
            item.rect.setHeight(item.rect.height() + nDown);
            nNeedHeight -= nDown;
            const int nMoreUp = std::min(nNeedHeight, RoomAbove(i, 0));
            item.rect.adjust(0, -nMoreUp, 0, 0);
        }
    }
    return bAllFit;
}

// --- placement ---

std::vector<int> CDialogLayout::StripDeltas(int nHeight) const
{
    std::vector<int> deltas(m_strips.size(), 0);
    const int nExtra = nHeight - m_baseSize.height();
    if (nExtra > 0) {
        int nWeights = 0;
        for (const CStrip& strip : m_strips)
            nWeights += strip.nGrow;
        if (nWeights <= 0)
            return deltas;
        int nGiven = 0;
        size_t nLast = 0;
        for (size_t i = 0; i < m_strips.size(); ++i) {
            if (m_strips[i].nGrow <= 0)
                continue;
            deltas[i] = nExtra * m_strips[i].nGrow / nWeights;
            nGiven += deltas[i];
            nLast = i;
        }
        deltas[nLast] += nExtra - nGiven;
    } else if (nExtra < 0) {
        int nRoom = 0;
        for (const CStrip& strip : m_strips)
            nRoom += strip.nBottom - strip.nTop - strip.nMinHeight;
        if (nRoom <= 0)
            return deltas;
        // Every strip gives up height in proportion to its room; what the
        // rounding leaves goes to the first strips that still have room.
        int nTake = std::min(-nExtra, nRoom);
        int nTaken = 0;
        for (size_t i = 0; i < m_strips.size(); ++i) {
            const int nStripRoom = m_strips[i].nBottom - m_strips[i].nTop - m_strips[i].nMinHeight;
            deltas[i] = -(nTake * nStripRoom / nRoom);
            nTaken -= deltas[i];
        }
        for (size_t i = 0; i < m_strips.size() && nTaken < nTake; ++i) {
            const int nStripRoom = m_strips[i].nBottom - m_strips[i].nTop - m_strips[i].nMinHeight;
            const int nMore = std::min(nTake - nTaken, nStripRoom + deltas[i]);
            deltas[i] -= nMore;
            nTaken += nMore;
        }
    }
    return deltas;
}

int CDialogLayout::MapY(int y, const std::vector<int>& deltas) const
{
    int nOffset = 0;
    for (size_t i = 0; i < m_strips.size(); ++i) {
        const CStrip& strip = m_strips[i];
        if (y >= strip.nBottom) {
            nOffset += deltas[i];
        } else if (y > strip.nTop) {
            const double dPart = static_cast<double>(y - strip.nTop) / (strip.nBottom - strip.nTop);
            nOffset += static_cast<int>(std::lround(deltas[i] * dPart));
            break;
        } else {
            break;
        }
    }
    return y + nOffset;
}

int CDialogLayout::OffsetX(int nPercent, int nWidth) const
{
    return static_cast<int>(std::lround((nWidth - m_baseSize.width()) * nPercent / 100.0));
}

QRect CDialogLayout::RectAt(size_t nItem, const QSize& client) const
{
    const CItem& item = m_items[nItem];
    const std::vector<int> deltas = StripDeltas(client.height());
    const int nLeft = item.rect.x() + OffsetX(item.nMoveX, client.width());
    const int nRight = Right(item.rect) + OffsetX(item.nMoveX + item.nSizeX, client.width());
    const int nTop = MapY(item.rect.y(), deltas);
    const int nBottom = MapY(Bottom(item.rect), deltas);
    return QRect(nLeft, nTop, nRight - nLeft, nBottom - nTop);
}

void CDialogLayout::Apply(const QSize& client) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].pWidget != nullptr)
            m_items[i].pWidget->setGeometry(RectAt(i, client));
    }
}

bool CDialogLayout::IsValidAt(const QSize& client) const
{
    // Lower than the strips allow, the margin below the last control would
    // go before any control does.
    int nRoom = 0;
    for (const CStrip& strip : m_strips)
        nRoom += strip.nBottom - strip.nTop - strip.nMinHeight;
    if (client.height() < m_baseSize.height() - nRoom)
        return false;
    std::vector<QRect> rects;
    rects.reserve(m_items.size());
    const QRect area(QPoint(0, 0), client);
    for (size_t i = 0; i < m_items.size(); ++i) {
        const QRect rect = RectAt(i, client);
        if (rect.width() < std::max(1, m_items[i].minSize.width()) ||
            rect.height() < std::max(1, m_items[i].minSize.height()) || !Contains(area, rect))
            return false;
        rects.push_back(rect);
    }
    for (size_t i = 0; i < m_items.size(); ++i) {
        for (size_t j = 0; j < m_items.size(); ++j) {
            if (i == j)
                continue;
            const QRect& a = m_items[i].rect;
            const QRect& b = m_items[j].rect;
            if (Contains(a, b)) {
                if (!Contains(rects[i], rects[j]))
                    return false;
            } else if (j > i && !Intersect(a, b) && Intersect(rects[i], rects[j])) {
                return false;
            }
        }
    }
    return true;
}

QSize CDialogLayout::MinimumSize() const
{
    if (!IsValidAt(m_baseSize))
        return m_baseSize;
    // Both searches rely on a layout that stays valid once it is valid at a
    // size, as one made of moving and stretching edges does.
    int nLow = 0;
    int nHigh = m_baseSize.width();
    while (nHigh - nLow > 1) {
        const int nMid = (nLow + nHigh) / 2;
        (IsValidAt(QSize(nMid, m_baseSize.height())) ? nHigh : nLow) = nMid;
    }
    const int nWidth = nHigh;
    nLow = 0;
    nHigh = m_baseSize.height();
    while (nHigh - nLow > 1) {
        const int nMid = (nLow + nHigh) / 2;
        (IsValidAt(QSize(m_baseSize.width(), nMid)) ? nHigh : nLow) = nMid;
    }
    return QSize(nWidth, nHigh);
}
