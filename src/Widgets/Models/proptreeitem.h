#pragma once

#include <QVariant>
#include <QVariantList>

#include <memory>
#include <vector>

/// One row of the property tree: a value per column, and the rows below it, which it owns.
class PropTreeItem
{
public:
    explicit PropTreeItem(QVariantList data, PropTreeItem *parentItem = nullptr);

    /// Takes ownership of `child`; the child's parent item stays what its constructor set.
    void appendChild(std::unique_ptr<PropTreeItem> &&child);

    PropTreeItem *child(int row) const;
    int childCount() const;
    int columnCount() const;
    QVariant data(int column) const;
    /// The item's place among its parent's children; 0 without a parent, -1 if the parent does not hold it.
    int row() const;
    PropTreeItem *parentItem() const;

private:
    std::vector<std::unique_ptr<PropTreeItem>> m_childItems;
    QVariantList m_itemData;
    PropTreeItem *m_parentItem;
};
