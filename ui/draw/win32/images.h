// GDI+ images: the program's "IMAGE" pixel resources, scaled copies and the bitmaps that Win32
// controls take. Every function returns null on failure and leaves nothing behind.
#pragma once

#include "base/colours.h"
#include "ui/draw/win32/gdi_handles.h"

namespace pyr {

// Resource type of the program's pictures (pixel resources made from PNGs at build time).
inline constexpr wchar_t kImageResourceType[] = L"IMAGE";

// An image of a pixel resource: "PXL1", width and height (little-endian 32-bit, 1 to 4096),
// then top-down rows of B, G, R, A bytes with straight alpha. Null when the bytes are not one.
ImagePtr ImageFromPixels(const void* bytes, size_t size);

// The picture stored as ("IMAGE", id). Width or height 0 keeps the picture's own size.
ImagePtr LoadImageResource(HMODULE module, int id, int width = 0, int height = 0);

// A new w x h image (32 bpp, given format) cleared to transparent.
ImagePtr NewImage(int width, int height, Gdiplus::PixelFormat format = kFormatArgb);
// A drawing surface on an image with the quality settings every picture here uses.
GraphicsPtr ImageGraphics(GpImage* image);

ImagePtr ScaledCopy(GpImage* image, int width, int height);
bool DrawImageScaled(GpImage* source, GpImage* target, int width, int height);
struct ImageSize { int width = 0; int height = 0; };
ImageSize SizeOf(GpImage* image);

// An HBITMAP of the image; transparent pixels are blended onto background (ARGB).
BitmapHandle ImageToBitmap(GpBitmap* image, Argb background = 0);
// A loaded resource as an HBITMAP of the given size, or null.
BitmapHandle LoadResourceBitmap(HMODULE module, int id, int width, int height);

// A top-down 32-bit DIB section filled with one colour (alpha 0 becomes 1).
BitmapHandle SolidBitmap(int width, int height, Argb argb);

}  // namespace pyr
