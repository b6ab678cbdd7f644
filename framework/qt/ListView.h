#pragma once
// The window's view of the result list: a table view over an item model
// that shows a CListCtrl, with grid lines, full-row and single selection.
// Right clicks and key presses are reported to the dialog as the list
// view's NM_RCLICK and LVN_KEYDOWN notifications; a column resized by the
// user writes its new width back into the list.

#include "Notify.h"
#include "framework/ListCtrl.h"

#include <QAbstractTableModel>
#include <QTableView>

class CListModel final : public QAbstractTableModel, public IListObserver
{
    Q_OBJECT

public:
    explicit CListModel(QObject* pParent = nullptr);
    ~CListModel() override;

    void SetList(CListCtrl* pList);
    CListCtrl* GetList() const { return m_pList; }
    // True while the list is in the middle of a change; the view's own
    // reactions to it (a moved current row) are not the user's choice.
    bool IsChanging() const { return m_nChanging > 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;

signals:
    void ColumnsChanged();
    void SelectionChangedInList(int nRow);

private:
    void OnBeginReset() override;
    void OnEndReset() override;
    void OnBeginInsertRow(int nRow) override;
    void OnEndInsertRow() override;
    void OnBeginRemoveRow(int nRow) override;
    void OnEndRemoveRow() override;
    void OnBeginInsertColumn(int nCol) override;
    void OnEndInsertColumn() override;
    void OnBeginRemoveColumn(int nCol) override;
    void OnEndRemoveColumn() override;
    void OnCellChanged(int nRow, int nCol) override;
    void OnColumnChanged(int nCol) override;
    void OnSelectionChanged(int nRow) override;
    void OnListDestroyed() override;

    void EndChange();

    CListCtrl* m_pList = nullptr;
    int m_nChanging = 0;
};

class CListView final : public QTableView
{
    Q_OBJECT

public:
    CListView(INotifyTarget* pDialog, int nId, QWidget* pParent);

    void SetList(CListCtrl* pList);
    CListCtrl* GetList() const { return m_model.GetList(); }
    CListModel& Model() { return m_model; }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    void ApplyColumnWidths();
    void ApplySelection(int nRow);
    void OnSectionResized(int nSection, int nOldSize, int nNewSize);
    void OnViewSelectionChanged();

    INotifyTarget* m_pDialog;
    int m_nId;
    CListModel m_model;
    bool m_bSyncing = false;
};
