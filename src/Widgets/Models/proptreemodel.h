#pragma once

#include <QAbstractItemModel>

#include <memory>

class PropTreeItem;

/// The fixed, read-only tree of camera and experiment settings behind the property table.
///
/// The column count beneath a valid parent is that parent's number of children, not its number of values: a
/// view reaches the value column of a setting through sibling(), which needs the category's column count to
/// exceed 1. At the top level there are two columns, one per header section.
class PropTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit PropTreeModel(QObject *parent = nullptr);
    ~PropTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::unique_ptr<PropTreeItem> m_rootItem;
};
