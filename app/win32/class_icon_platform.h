// A device platform that forwards every call to another one, except that its class image lists
// are real image lists: the system's class icons placed at the image indices the other platform
// hands out, or the pictures of an icon source instead. The sandbox build needs it because its
// simulated platform has no icons of its own, and the list control must only ever be given a
// real image list.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "devices/forwarding_platform.h"

namespace pyr {

// The icon of a class at size x size pixels, owned by the caller; for the empty GUID, the icon
// of classes without one. nullptr: the system's icon.
using ClassIconSource = std::function<HICON(const Guid& classGuid, int size)>;

class ClassIconPlatform : public ForwardingPlatform {
 public:
  // classes: every class GUID the inner platform knows, for the icons to collect.
  ClassIconPlatform(DevicePlatform& inner, std::vector<Guid> classes,
                    ClassIconSource source = nullptr);
  ~ClassIconPlatform() override;

  bool GetClassImageList(ClassImageList* list) override;
  bool GetClassImageIndex(const ClassImageList& list, const Guid& classGuid,
                          int32_t* index) override;
  bool DestroyClassImageList(const ClassImageList& list) override;

 private:
  std::vector<Guid> classes_;
  ClassIconSource source_;
  // Real image list handed out -> the inner platform's list it stands for.
  std::map<uintptr_t, ClassImageList> lists_;
};

}  // namespace pyr
