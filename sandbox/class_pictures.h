// Which of the sandbox's own pictures each device class shows. Wine has no class icons, so the
// simulated PC brings pictures of its own: icon resources of the sandbox executable, drawn by
// resources/images/draw_images.py and named there.
#pragma once

#include <span>
#include <string_view>

namespace pyr {

struct ClassPicture {
  std::u16string_view className;  // the setup class name, as the simulated PC spells it
  const char16_t* resource;       // the icon resource's name
};

// Shown by every class without a picture of its own.
inline constexpr char16_t kFallbackClassPicture[] = u"FALLBACK";

std::span<const ClassPicture> ClassPictures();

// The picture of a class name (class names ignore case); the fallback for any other name.
const char16_t* ClassPictureResource(std::u16string_view className);

}  // namespace pyr
