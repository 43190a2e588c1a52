#pragma once

#include "pylon/PylonTypes.h"

#include <cstddef>
#include <vector>

namespace Pylon {

class CInfoBase
{
public:
    /// The device's unique name, UTF-8.
    String_t GetFullName() const { return m_fullName; }
    void SetFullName(const String_t &fullName) { m_fullName = fullName; }

private:
    String_t m_fullName;
};

/// Describes one device; default-constructed it matches any device.
class CDeviceInfo : public CInfoBase
{
};

class DeviceInfoList
{
public:
    using iterator = std::vector<CDeviceInfo>::iterator;
    using const_iterator = std::vector<CDeviceInfo>::const_iterator;

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    bool empty() const { return m_items.empty(); }
    std::size_t size() const { return m_items.size(); }
    const CDeviceInfo &operator[](std::size_t index) const { return m_items.at(index); }
    void push_back(const CDeviceInfo &info) { m_items.push_back(info); }
    void clear() { m_items.clear(); }

private:
    std::vector<CDeviceInfo> m_items;
};

using DeviceInfoList_t = DeviceInfoList;

} // namespace Pylon
