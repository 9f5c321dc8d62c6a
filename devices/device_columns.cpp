#include "devices/device_columns.h"

#include <iterator>

namespace pyr {

namespace {
constexpr DeviceColumnInfo kColumns[] = {
    {u" Device name", 270},    {u" Status", 120},       {u" Class", 120},
    {u" Manufacturer", 150},   {u" Driver date", 100},  {u" Driver version", 120},
    {u" Service name", 100},   {u" Hardware ID", 200},  {u" Inf path", 100},
    {u" Instance ID", 300},  {u" Last connected", 130}, {u" Installed", 130},
};
static_assert(std::size(kColumns) == kDeviceColumnCount);
}  // namespace

std::span<const DeviceColumnInfo> DeviceColumns() { return kColumns; }

}  // namespace pyr
