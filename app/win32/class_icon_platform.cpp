#include "app/win32/class_icon_platform.h"

#include <windows.h>
#include <commctrl.h>
#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace pyr {
namespace {

GUID ToSystemGuid(const Guid& guid) {
  uint8_t bytes[16];
  guid.ToBytes(bytes);
  GUID out{};
  static_assert(sizeof(out) == 16);
  std::memcpy(&out, bytes, sizeof(out));
  return out;
}

// The icon size of the class image list on this system.
int SmallIconSize() { return GetSystemMetrics(SM_CXSMICON); }

}  // namespace

ClassIconPlatform::ClassIconPlatform(DevicePlatform& inner, std::vector<Guid> classes,
                                     ClassIconSource source)
    : ForwardingPlatform(inner), classes_(std::move(classes)), source_(std::move(source)) {}

ClassIconPlatform::~ClassIconPlatform() {
  for (auto& [handle, innerList] : lists_) {
    ImageList_Destroy(reinterpret_cast<HIMAGELIST>(handle));
    inner_.DestroyClassImageList(innerList);
  }
}

bool ClassIconPlatform::GetClassImageList(ClassImageList* list) {
  ClassImageList innerList;
  if (!inner_.GetClassImageList(&innerList)) return false;

  // Where the inner platform puts each class, and how many slots that takes.
  std::vector<std::pair<Guid, int32_t>> places;
  int32_t slots = 1;
  for (const Guid& guid : classes_) {
    int32_t index = -1;
    if (inner_.GetClassImageIndex(innerList, guid, &index) && index >= 0) {
      places.emplace_back(guid, index);
      slots = std::max(slots, index + 1);
    }
  }
  int32_t unknown = -1;
  if (inner_.GetClassImageIndex(innerList, Guid{}, &unknown) && unknown >= 0) {
    slots = std::max(slots, unknown + 1);
  }

  const int size = SmallIconSize();
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, slots, 4);
  if (images == nullptr) {
    inner_.DestroyClassImageList(innerList);
    return false;
  }
  // Slots no class refers to stay blank: filling every one with an icon cost more than the
  // rest of the list's build. The source's icons go in first, then the system's own class icons
  // where it has them; a generic icon wherever neither has one.
  ImageList_SetImageCount(images, static_cast<UINT>(slots));
  std::set<int32_t> pictured;
  std::vector<std::pair<Guid, int32_t>> unpictured;
  for (const auto& [guid, index] : places) {
    const HICON icon = source_ ? source_(guid, size) : nullptr;
    if (icon == nullptr) {
      unpictured.emplace_back(guid, index);
      continue;
    }
    ImageList_ReplaceIcon(images, index, icon);
    DestroyIcon(icon);
    pictured.insert(index);
  }
  SP_CLASSIMAGELIST_DATA system{};
  system.cbSize = sizeof(system);
  const bool haveSystem = !unpictured.empty() && SetupDiGetClassImageList(&system) != FALSE;
  std::set<int32_t> generics;  // slots of classes without an icon of their own, and the unknown
  if (unknown >= 0) generics.insert(unknown);
  for (const auto& [guid, index] : unpictured) {
    GUID systemGuid = ToSystemGuid(guid);
    int systemIndex = -1;
    const HICON icon =
        haveSystem && SetupDiGetClassImageIndex(&system, &systemGuid, &systemIndex)
            ? ImageList_GetIcon(system.ImageList, systemIndex, ILD_NORMAL)
            : nullptr;
    if (icon == nullptr) {
      generics.insert(index);
      continue;
    }
    ImageList_ReplaceIcon(images, index, icon);
    DestroyIcon(icon);
    pictured.insert(index);
  }
  if (haveSystem) SetupDiDestroyClassImageList(&system);
  // A slot shared with a class that has a picture keeps the picture.
  std::erase_if(generics, [&](int32_t index) { return pictured.contains(index); });
  if (!generics.empty()) {
    const HICON sourceGeneric = source_ ? source_(Guid{}, size) : nullptr;
    const HICON generic = sourceGeneric ? sourceGeneric : LoadIconW(nullptr, IDI_APPLICATION);
    for (const int32_t index : generics) ImageList_ReplaceIcon(images, index, generic);
    if (sourceGeneric != nullptr) DestroyIcon(sourceGeneric);
  }

  list->imageList.value = reinterpret_cast<uintptr_t>(images);
  list->reserved = 0;
  lists_[list->imageList.value] = innerList;
  return true;
}

bool ClassIconPlatform::GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                                           int32_t* index) {
  const auto found = lists_.find(list.imageList.value);
  if (found == lists_.end()) return false;
  return inner_.GetClassImageIndex(found->second, classGuid, index);
}

bool ClassIconPlatform::DestroyClassImageList(const ClassImageList& list) {
  const auto found = lists_.find(list.imageList.value);
  if (found == lists_.end()) return false;
  ImageList_Destroy(reinterpret_cast<HIMAGELIST>(found->first));
  const bool ok = inner_.DestroyClassImageList(found->second);
  lists_.erase(found);
  return ok;
}

}  // namespace pyr
