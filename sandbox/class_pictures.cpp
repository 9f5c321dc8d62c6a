#include "sandbox/class_pictures.h"

#include <algorithm>

namespace pyr {
namespace {

constexpr ClassPicture kPictures[] = {
    {u"Display", u"DISPLAY"},       {u"Net", u"NET"},
    {u"USB", u"USB"},               {u"HIDClass", u"HID"},
    {u"Processor", u"PROCESSOR"},   {u"DiskDrive", u"DISK"},
    {u"CDROM", u"DISK"},            {u"Volume", u"DISK"},
    {u"AudioEndpoint", u"AUDIO"},   {u"MEDIA", u"AUDIO"},
    {u"Keyboard", u"KEYBOARD"},     {u"Mouse", u"MOUSE"},
    {u"Monitor", u"MONITOR"},       {u"Ports", u"PORTS"},
    {u"Printer", u"PRINTER"},       {u"PrintQueue", u"PRINTER"},
    {u"System", u"SYSTEM"},         {u"Computer", u"SYSTEM"},
    {u"Bluetooth", u"BLUETOOTH"},   {u"Battery", u"BATTERY"},
    {u"Camera", u"CAMERA"},
};

char16_t Folded(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b, [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

}  // namespace

std::span<const ClassPicture> ClassPictures() { return kPictures; }

const char16_t* ClassPictureResource(std::u16string_view className) {
  for (const ClassPicture& picture : kPictures) {
    if (SameName(picture.className, className)) return picture.resource;
  }
  return kFallbackClassPicture;
}

}  // namespace pyr
