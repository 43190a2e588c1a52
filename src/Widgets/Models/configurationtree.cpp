#include "Widgets/Models/configurationtree.h"

#include <QXmlStreamAttributes>
#include <QXmlStreamReader>

#include <spdlog/logger.h>

#include <utility>

// Conversions never ask for a success flag: text that does not convert, or an integer outside 32 bits, reads
// as zero. The reader's error state is never consulted either; every loop simply ends where the reader stops,
// so a broken document keeps what was read before the break.

ConfigurationTree::ConfigurationTree(QXmlStreamReader *xml, std::shared_ptr<spdlog::logger> logger)
    : QAbstractItemModel(nullptr)
    , m_logger(std::move(logger))
{
    m_configurations = readConfigurations(*xml, m_logger);
}

ConfigurationTree::~ConfigurationTree() = default;

QModelIndex ConfigurationTree::index(int, int, const QModelIndex &) const
{
    return {};
}

QModelIndex ConfigurationTree::parent(const QModelIndex &) const
{
    return {};
}

int ConfigurationTree::rowCount(const QModelIndex &) const
{
    return 0;
}

int ConfigurationTree::columnCount(const QModelIndex &) const
{
    return 0;
}

QVariant ConfigurationTree::data(const QModelIndex &, int) const
{
    return {};
}

QVariant ConfigurationTree::headerData(int, Qt::Orientation, int) const
{
    return {};
}

Qt::ItemFlags ConfigurationTree::flags(const QModelIndex &) const
{
    return Qt::NoItemFlags;
}

std::vector<std::unique_ptr<ConfigurationNode>> readConfigurations(QXmlStreamReader &xml,
                                                                   std::shared_ptr<spdlog::logger> logger)
{
    std::vector<std::unique_ptr<ConfigurationNode>> configurations;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("slmconfigs"))
        return configurations;

    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("config"))
            configurations.push_back(readConfig(xml, logger));
        else
            xml.skipCurrentElement();
    }
    return configurations;
}

std::unique_ptr<ConfigurationNode> readConfig(QXmlStreamReader &xml, std::shared_ptr<spdlog::logger> logger)
{
    auto node = std::make_unique<ConfigurationNode>();
    node->name = xml.attributes().value(QLatin1String("category")).toString();
    logger->info(node->name.toStdString());

    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("option"))
            node->children.push_back(readOption(xml, logger));
        else
            xml.skipCurrentElement();
    }
    return node;
}

std::unique_ptr<ConfigurationNode> readOption(QXmlStreamReader &xml, std::shared_ptr<spdlog::logger> logger)
{
    auto node = std::make_unique<ConfigurationNode>();
    const QXmlStreamAttributes attributes = xml.attributes();

    node->name = attributes.value(QLatin1String("name")).toString();
    logger->info(node->name.toStdString());

    node->type = optionTypeFromString(attributes.value(QLatin1String("type")));

    const QStringView stepSize = attributes.value(QLatin1String("stepsize"));
    if (!stepSize.isEmpty())
        node->stepSize = QVariant(stepSize.toInt());

    const QStringView defaultText = attributes.value(QLatin1String("default"));
    switch (node->type) {
    case OptionType::Int:
        node->defaultValue = defaultText.toInt();
        break;
    case OptionType::Double:
        node->defaultValue = defaultText.toDouble();
        break;
    case OptionType::Dropdown:
    case OptionType::Check:
        node->defaultValue = defaultText.toString();
        break;
    case OptionType::Slider:
        node->defaultValue = defaultText.toFloat();
        break;
    }

    // Text and child elements inside an option carry nothing; skipping is iterative, so deep nesting is safe.
    xml.skipCurrentElement();
    return node;
}

OptionType optionTypeFromString(QStringView text)
{
    if (text == QLatin1String("int"))
        return OptionType::Int;
    if (text == QLatin1String("double"))
        return OptionType::Double;
    if (text == QLatin1String("dropdown"))
        return OptionType::Dropdown;
    if (text == QLatin1String("check"))
        return OptionType::Check;
    if (text == QLatin1String("slider"))
        return OptionType::Slider;
    return OptionType::Int;
}
