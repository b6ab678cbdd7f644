#include "ListView.h"

#include "framework/qt/QtString.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

int ToVirtualKey(const QKeyEvent* pEvent)
{
    const int nKey = pEvent->key();
    if (nKey == Qt::Key_Delete)
        return VK_DELETE;
    if (nKey == Qt::Key_Return || nKey == Qt::Key_Enter)
        return VK_RETURN;
    if (nKey == Qt::Key_Escape)
        return VK_ESCAPE;
    if ((nKey >= Qt::Key_0 && nKey <= Qt::Key_9) || (nKey >= Qt::Key_A && nKey <= Qt::Key_Z))
        return nKey;
    return 0;
}

Qt::Alignment AlignmentOf(int nFormat)
{
    switch (nFormat) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

// --- model ---

CListModel::CListModel(QObject* pParent) : QAbstractTableModel(pParent) {}

CListModel::~CListModel()
{
    if (m_pList != nullptr)
        m_pList->SetObserver(nullptr);
}

void CListModel::SetList(CListCtrl* pList)
{
    beginResetModel();
    if (m_pList != nullptr)
        m_pList->SetObserver(nullptr);
    m_pList = pList;
    if (m_pList != nullptr)
        m_pList->SetObserver(this);
    endResetModel();
    EndChange();
    emit ColumnsChanged();
}

int CListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_pList == nullptr ? 0 : m_pList->GetItemCount();
}

int CListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_pList == nullptr ? 0 : m_pList->GetColumnCount();
}

QVariant CListModel::data(const QModelIndex& index, int nRole) const
{
    if (m_pList == nullptr || !index.isValid())
        return {};
    if (nRole == Qt::DisplayRole || nRole == Qt::ToolTipRole) {
        const std::string_view text = m_pList->GetItemTextView(index.row(), index.column());
        if (nRole == Qt::ToolTipRole && text.size() < 40)
            return {};
        return ToQt(text);
    }
    if (nRole == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_pList->GetColumnFormat(index.column())));
    return {};
}

QVariant CListModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (m_pList == nullptr || orientation != Qt::Horizontal)
        return {};
    if (nRole == Qt::DisplayRole)
        return QString::fromStdString(m_pList->GetColumnCaptionWhole(nSection));
    if (nRole == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_pList->GetColumnFormat(nSection)));
    return {};
}

void CListModel::OnBeginReset()
{
    ++m_nChanging;
    beginResetModel();
}

void CListModel::OnEndReset()
{
    endResetModel();
    EndChange();
    emit ColumnsChanged();
}

void CListModel::OnBeginInsertRow(int nRow)
{
    ++m_nChanging;
    beginInsertRows(QModelIndex(), nRow, nRow);
}

void CListModel::OnEndInsertRow()
{
    endInsertRows();
    EndChange();
}

void CListModel::OnBeginRemoveRow(int nRow)
{
    ++m_nChanging;
    beginRemoveRows(QModelIndex(), nRow, nRow);
}

void CListModel::OnEndRemoveRow()
{
    endRemoveRows();
    EndChange();
}

void CListModel::OnBeginInsertColumn(int nCol)
{
    ++m_nChanging;
    beginInsertColumns(QModelIndex(), nCol, nCol);
}

void CListModel::OnEndInsertColumn()
{
    endInsertColumns();
    EndChange();
    emit ColumnsChanged();
}

void CListModel::OnBeginRemoveColumn(int nCol)
{
    ++m_nChanging;
    beginRemoveColumns(QModelIndex(), nCol, nCol);
}

void CListModel::OnEndRemoveColumn()
{
    endRemoveColumns();
    EndChange();
    emit ColumnsChanged();
}

void CListModel::EndChange()
{
    if (m_nChanging > 0)
        --m_nChanging;
    if (m_nChanging == 0 && m_pList != nullptr)
        emit SelectionChangedInList(m_pList->GetNextSelectedItem(-1));
}

void CListModel::OnCellChanged(int nRow, int nCol)
{
    const QModelIndex at = index(nRow, nCol);
    emit dataChanged(at, at);
}

void CListModel::OnColumnChanged(int /*nCol*/) { emit ColumnsChanged(); }

void CListModel::OnListDestroyed()
{
    beginResetModel();
    m_pList = nullptr;
    endResetModel();
}

void CListModel::OnSelectionChanged(int nRow) { emit SelectionChangedInList(nRow); }

// --- view ---

CListView::CListView(INotifyTarget* pDialog, int nId, QWidget* pParent)
    : QTableView(pParent), m_pDialog(pDialog), m_nId(nId)
{
    setModel(&m_model);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // Fixed row heights keep a million rows cheap to lay out and scroll.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(0);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &CListView::OnSectionResized);
    connect(&m_model, &CListModel::ColumnsChanged, this, &CListView::ApplyColumnWidths);
    connect(&m_model, &CListModel::SelectionChangedInList, this, &CListView::ApplySelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CListView::OnViewSelectionChanged);
}

void CListView::SetList(CListCtrl* pList) { m_model.SetList(pList); }

void CListView::ApplyColumnWidths()
{
    CListCtrl* pList = m_model.GetList();
    if (pList == nullptr)
        return;
    m_bSyncing = true;
    for (int j = 0; j < pList->GetColumnCount(); ++j)
        horizontalHeader()->resizeSection(j, pList->GetColumnWidth(j));
    m_bSyncing = false;
    ApplySelection(pList->GetNextSelectedItem(-1));
}

void CListView::ApplySelection(int nRow)
{
    m_bSyncing = true;
    if (nRow < 0) {
        selectionModel()->clearSelection();
    } else {
        const QModelIndex at = m_model.index(nRow, 0);
        selectionModel()->select(at,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    }
    m_bSyncing = false;
}

void CListView::OnSectionResized(int nSection, int /*nOldSize*/, int nNewSize)
{
    if (m_bSyncing || m_model.GetList() == nullptr)
        return;
    m_bSyncing = true;
    m_model.GetList()->SetColumnWidth(nSection, nNewSize);
    m_bSyncing = false;
}

void CListView::OnViewSelectionChanged()
{
    if (m_bSyncing || m_model.GetList() == nullptr || m_model.IsChanging())
        return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    m_bSyncing = true;
    m_model.GetList()->SetSelectedItem(rows.isEmpty() ? -1 : rows.first().row());
    m_bSyncing = false;
}

void CListView::keyPressEvent(QKeyEvent* pEvent)
{
    CNotify notify;
    notify.nId = m_nId;
    notify.nCode = LVN_KEYDOWN;
    notify.nKey = ToVirtualKey(pEvent);
    m_pDialog->SendNotify(notify);
    QTableView::keyPressEvent(pEvent);
}

void CListView::mouseReleaseEvent(QMouseEvent* pEvent)
{
    QTableView::mouseReleaseEvent(pEvent);
    if (pEvent->button() == Qt::RightButton) {
        CNotify notify;
        notify.nId = m_nId;
        notify.nCode = NM_RCLICK;
        notify.ptScreen = pEvent->globalPosition().toPoint();
        m_pDialog->SendNotify(notify);
    }
}
