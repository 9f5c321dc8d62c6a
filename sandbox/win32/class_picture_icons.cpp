#include "sandbox/win32/class_picture_icons.h"

#include "base/win32/wchar.h"
#include <span>

#include "sandbox/class_pictures.h"

namespace pyr {
namespace {

// A resource's bytes; empty when the module has none. Works for modules loaded as data too,
// which LoadImage does not promise.
std::span<const BYTE> ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(module, name, type);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return {};
  return {data, SizeofResource(module, found)};
}

}  // namespace

HICON LoadIconResource(HMODULE module, const char16_t* name, int size) {
  const std::span<const BYTE> group = ResourceBytes(module, W(name), RT_GROUP_ICON);
  if (group.empty()) return nullptr;
  // The image of the group nearest the size asked for.
  const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, size, size,
                                             LR_DEFAULTCOLOR);
  if (id == 0) return nullptr;
  const std::span<const BYTE> image = ResourceBytes(module, MAKEINTRESOURCEW(id), RT_ICON);
  if (image.empty()) return nullptr;
  return CreateIconFromResourceEx(const_cast<BYTE*>(image.data()),
                                  static_cast<DWORD>(image.size()), TRUE, 0x00030000, size, size,
                                  LR_DEFAULTCOLOR);
}

HICON LoadClassPicture(HMODULE module, const SimulatedPc& pc, const Guid& classGuid, int size) {
  const SimulatedClass* known = pc.ClassByGuid(classGuid);
  const char16_t* resource =
      known ? ClassPictureResource(known->name.View()) : kFallbackClassPicture;
  return LoadIconResource(module, resource, size);
}

}  // namespace pyr
