// The device property keys the program reads and the property value types it formats.
#pragma once

#include "devices/guid.h"

namespace pyr {

// DEVPROPTYPE values.
namespace devprop {
constexpr uint32_t kEmpty = 0;
constexpr uint32_t kNull = 1;
constexpr uint32_t kSByte = 2;
constexpr uint32_t kByte = 3;
constexpr uint32_t kInt16 = 4;
constexpr uint32_t kUInt16 = 5;
constexpr uint32_t kInt32 = 6;
constexpr uint32_t kUInt32 = 7;
constexpr uint32_t kInt64 = 8;
constexpr uint32_t kUInt64 = 9;
constexpr uint32_t kFloat = 10;
constexpr uint32_t kDouble = 11;
constexpr uint32_t kDecimal = 12;
constexpr uint32_t kGuid = 13;
constexpr uint32_t kCurrency = 14;
constexpr uint32_t kDate = 15;
constexpr uint32_t kFileTime = 16;
constexpr uint32_t kBoolean = 17;
constexpr uint32_t kString = 18;
constexpr uint32_t kSecurityDescriptor = 19;
constexpr uint32_t kSecurityDescriptorString = 20;
constexpr uint32_t kDevPropKey = 21;
constexpr uint32_t kDevPropType = 22;
constexpr uint32_t kError = 23;
constexpr uint32_t kNtStatus = 24;
constexpr uint32_t kStringIndirect = 25;
constexpr uint32_t kBinary = 0x1003;
constexpr uint32_t kStringList = 0x2012;
}  // namespace devprop

namespace detail {
constexpr Guid kNameFmt{0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}};
constexpr Guid kDeviceFmt{0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}};
constexpr Guid kStatusFmt{0x4340A6C5, 0x93FA, 0x4706, {0x97, 0x2C, 0x7B, 0x64, 0x80, 0x08, 0xA5, 0xA7}};
constexpr Guid kUninstallUiFmt{0x80D81EA6, 0x7473, 0x4B0C,
                               {0x82, 0x16, 0xEF, 0xC1, 0x1A, 0x2C, 0x4C, 0x8B}};
constexpr Guid kPresentFmt{0x540B947E, 0x8B40, 0x45BC, {0xA8, 0xA2, 0x6A, 0x0B, 0x89, 0x4C, 0xBD, 0xA2}};
constexpr Guid kDriverFmt{0xA8B865DD, 0x2E3D, 0x4094, {0xAD, 0x97, 0xE5, 0x93, 0xA7, 0x0C, 0x75, 0xD6}};
constexpr Guid kInstallDateFmt{0x83DA6326, 0x97A6, 0x4088,
                               {0x94, 0x53, 0xA1, 0x92, 0x3F, 0x57, 0x3B, 0x29}};
constexpr Guid kInstanceFmt{0x78C34FC8, 0x104A, 0x4ACA, {0x9E, 0xA4, 0x52, 0x4D, 0x52, 0x99, 0x6E, 0x57}};
}  // namespace detail

// The keys, as the system defines them (DEVPKEY_*).
namespace devpkey {
constexpr DevPropKey kName{detail::kNameFmt, 10};
constexpr DevPropKey kDeviceDesc{detail::kDeviceFmt, 2};
constexpr DevPropKey kHardwareIds{detail::kDeviceFmt, 3};
constexpr DevPropKey kCompatibleIds{detail::kDeviceFmt, 4};
constexpr DevPropKey kService{detail::kDeviceFmt, 6};
constexpr DevPropKey kClass{detail::kDeviceFmt, 9};
constexpr DevPropKey kClassGuid{detail::kDeviceFmt, 10};
constexpr DevPropKey kDriver{detail::kDeviceFmt, 11};
constexpr DevPropKey kManufacturer{detail::kDeviceFmt, 13};
constexpr DevPropKey kFriendlyName{detail::kDeviceFmt, 14};
constexpr DevPropKey kLocationPaths{detail::kDeviceFmt, 37};
constexpr DevPropKey kProblemCode{detail::kStatusFmt, 3};
constexpr DevPropKey kDevNodeStatus{detail::kStatusFmt, 2};
constexpr DevPropKey kShowInUninstallUi{detail::kUninstallUiFmt, 8};
constexpr DevPropKey kIsPresent{detail::kPresentFmt, 5};
constexpr DevPropKey kDriverDate{detail::kDriverFmt, 2};
constexpr DevPropKey kDriverVersion{detail::kDriverFmt, 3};
constexpr DevPropKey kDriverInfPath{detail::kDriverFmt, 5};
constexpr DevPropKey kInstanceId{detail::kInstanceFmt, 256};
// FILETIMEs (UTC); Windows 8 and later keep the arrival and removal dates.
constexpr DevPropKey kFirstInstallDate{detail::kInstallDateFmt, 101};
constexpr DevPropKey kLastArrivalDate{detail::kInstallDateFmt, 102};
constexpr DevPropKey kLastRemovalDate{detail::kInstallDateFmt, 103};
}  // namespace devpkey

}  // namespace pyr
