#include "Widgets/Models/proptreeitem.h"

#include <utility>

PropTreeItem::PropTreeItem(QVariantList data, PropTreeItem *parentItem)
    : m_itemData(std::move(data))
    , m_parentItem(parentItem)
{}

void PropTreeItem::appendChild(std::unique_ptr<PropTreeItem> &&child)
{
    m_childItems.push_back(std::move(child));
}

PropTreeItem *PropTreeItem::child(int row) const
{
    if (row < 0 || row >= childCount())
        return nullptr;
    return m_childItems[size_t(row)].get();
}

int PropTreeItem::childCount() const
{
    return int(m_childItems.size());
}

int PropTreeItem::columnCount() const
{
    return int(m_itemData.size());
}

QVariant PropTreeItem::data(int column) const
{
    if (column < 0 || column >= columnCount())
        return {};
    return m_itemData.at(column);
}

int PropTreeItem::row() const
{
    if (!m_parentItem)
        return 0;
    const auto &siblings = m_parentItem->m_childItems;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this)
            return int(i);
    }
    return -1;
}

PropTreeItem *PropTreeItem::parentItem() const
{
    return m_parentItem;
}
