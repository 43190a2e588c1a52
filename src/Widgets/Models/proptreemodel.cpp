#include "Widgets/Models/proptreemodel.h"

#include "Widgets/Models/proptreeitem.h"

#include <utility>

namespace {

PropTreeItem *itemOf(const QModelIndex &index)
{
    return static_cast<PropTreeItem *>(index.internalPointer());
}

} // namespace

PropTreeModel::PropTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_rootItem(std::make_unique<PropTreeItem>(QVariantList{tr("Property"), tr("Value")}))
{
    // Every item is held by an owning pointer from its creation on, so nothing leaks if building throws.
    auto setting = [](const QString &name, const QString &value, PropTreeItem *category) {
        return std::make_unique<PropTreeItem>(QVariantList{name, value}, category);
    };

    auto camera = std::make_unique<PropTreeItem>(QVariantList{tr("Camera")}, m_rootItem.get());
    auto exposure = setting(tr("Exposure"), tr("800"), camera.get());
    auto aperture = setting(tr("Aperture"), tr("8.0"), camera.get());
    auto frames = setting(tr("Frames"), tr("30"), camera.get());
    auto saveDirectory = setting(tr("Save Directory"), tr("C:/"), camera.get());
    camera->appendChild(std::move(exposure));
    camera->appendChild(std::move(aperture));
    camera->appendChild(std::move(frames));
    camera->appendChild(std::move(saveDirectory));

    auto experiment = std::make_unique<PropTreeItem>(QVariantList{tr("Experiment")}, m_rootItem.get());
    auto atoms = setting(tr("Number of Atoms"), tr("121"), experiment.get());
    auto configuration = setting(tr("Configuration"), tr("Square Array"), experiment.get());
    auto rotation = setting(tr("Rotation (deg)"), tr("45.0"), experiment.get());
    experiment->appendChild(std::move(atoms));
    experiment->appendChild(std::move(configuration));
    experiment->appendChild(std::move(rotation));

    m_rootItem->appendChild(std::move(camera));
    m_rootItem->appendChild(std::move(experiment));
}

PropTreeModel::~PropTreeModel() = default;

QModelIndex PropTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    PropTreeItem *parentItem = parent.isValid() ? itemOf(parent) : m_rootItem.get();
    PropTreeItem *childItem = parentItem->child(row);
    if (!childItem)
        return {};
    return createIndex(row, column, childItem);
}

QModelIndex PropTreeModel::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    PropTreeItem *parentItem = itemOf(index)->parentItem();
    if (parentItem == m_rootItem.get())
        return {};
    return createIndex(parentItem->row(), 0, parentItem);
}

int PropTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return parent.isValid() ? itemOf(parent)->childCount() : m_rootItem->childCount();
}

int PropTreeModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return itemOf(parent)->childCount();
    return 2;
}

QVariant PropTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return itemOf(index)->data(index.column());
}

QVariant PropTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_rootItem->data(section);
    return {};
}

Qt::ItemFlags PropTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractItemModel::flags(index);
}
