#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

/// The "type" attribute of an option; it decides how the option's "default" text is converted.
enum class OptionType : std::int32_t {
    Int = 0,
    Double = 1,
    Dropdown = 2,
    Check = 3,
    Slider = 4,
};

/// One category or one option of a configuration file. A category holds its options as children; an option has
/// none. Nodes keep no pointer to their parent.
struct ConfigurationNode
{
    QString name;
    OptionType type = OptionType::Int;
    QVariant defaultValue;
    std::optional<QVariant> stepSize;
    std::vector<std::unique_ptr<ConfigurationNode>> children;
};
