#pragma once

#include "Widgets/Models/configurationnode.h"

#include <QAbstractItemModel>
#include <QStringView>

#include <memory>
#include <vector>

class QXmlStreamReader;

namespace spdlog {
class logger;
}

/// Reads a configuration file ("slmconfigs" root, "config" categories holding "option" elements) into category
/// and option nodes, logging every category and option name as it goes. As an item model it shows nothing.
class ConfigurationTree : public QAbstractItemModel
{
    Q_OBJECT

public:
    /// Reads the whole document from `xml`, which must have its device set and stand before the first element.
    /// A malformed document keeps what was read before the reader stopped.
    ConfigurationTree(QXmlStreamReader *xml, std::shared_ptr<spdlog::logger> logger);
    ~ConfigurationTree() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    std::vector<std::unique_ptr<ConfigurationNode>> m_configurations;
    std::shared_ptr<spdlog::logger> m_logger;
};

/// Reads the document's categories. Returns nothing unless the first element is "slmconfigs".
std::vector<std::unique_ptr<ConfigurationNode>> readConfigurations(QXmlStreamReader &xml,
                                                                   std::shared_ptr<spdlog::logger> logger);
/// Reads the "config" element the reader stands on, up to and including its end element.
std::unique_ptr<ConfigurationNode> readConfig(QXmlStreamReader &xml, std::shared_ptr<spdlog::logger> logger);
/// Reads the "option" element the reader stands on from its start tag and skips its content.
std::unique_ptr<ConfigurationNode> readOption(QXmlStreamReader &xml, std::shared_ptr<spdlog::logger> logger);
/// The type named by `text`; an unknown or empty name gives OptionType::Int.
OptionType optionTypeFromString(QStringView text);
