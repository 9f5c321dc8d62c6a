#include "ui/draw/win32/images.h"

#include <cstring>

namespace pyr {

namespace {

constexpr char kPixelsMagic[4] = {'P', 'X', 'L', '1'};
constexpr uint32_t kLargestSide = 4096;

uint32_t ReadLe32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

// The pixels are copied: the resource's memory is not the image's to keep or draw on.
ImagePtr ImageFromPixels(const void* data, size_t size) {
  constexpr size_t kHeader = 12;
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (!bytes) return nullptr;
  if (size < kHeader || std::memcmp(bytes, kPixelsMagic, 4) != 0) return nullptr;
  const uint32_t width = ReadLe32(bytes + 4), height = ReadLe32(bytes + 8);
  if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) return nullptr;
  const size_t stride = static_cast<size_t>(width) * 4;
  if (size - kHeader < stride * height) return nullptr;
  ImagePtr image = NewImage(static_cast<int>(width), static_cast<int>(height), kFormatArgb);
  if (!image) return nullptr;
  const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  Gdiplus::BitmapData locked{};
  if (!GpOk(gp::GdipBitmapLockBits(image.get(), &all, Gdiplus::ImageLockModeWrite, kFormatArgb,
                                   &locked))) {
    return nullptr;
  }
  for (uint32_t row = 0; row < height; ++row) {
    auto* target = static_cast<unsigned char*>(locked.Scan0) +
                   static_cast<ptrdiff_t>(row) * locked.Stride;
    std::memcpy(target, bytes + kHeader + row * stride, stride);
  }
  if (!GpOk(gp::GdipBitmapUnlockBits(image.get(), &locked))) return nullptr;
  return image;
}

ImagePtr LoadImageResource(HMODULE module, int id, int width, int height) {
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), kImageResourceType);
  if (!info) return nullptr;
  DWORD size = SizeofResource(module, info);
  HGLOBAL loaded = size ? LoadResource(module, info) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return nullptr;
  ImagePtr image = ImageFromPixels(bytes, size);
  if (!image) return nullptr;
  ImageSize own = SizeOf(image.get());
  if (width <= 0) width = own.width;
  if (height <= 0) height = own.height;
  if (width == own.width && height == own.height) return image;
  return ScaledCopy(image.get(), width, height);
}

ImagePtr NewImage(int width, int height, Gdiplus::PixelFormat format) {
  if (width <= 0 || height <= 0) return nullptr;
  GpBitmap* raw = nullptr;
  if (!GpOk(gp::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &raw))) return nullptr;
  return ImagePtr(raw);
}

GraphicsPtr ImageGraphics(GpImage* image) {
  GpGraphics* raw = nullptr;
  if (!image || !GpOk(gp::GdipGetImageGraphicsContext(image, &raw))) return nullptr;
  GraphicsPtr g(raw);
  gp::GdipSetInterpolationMode(raw, Gdiplus::InterpolationModeHighQualityBicubic);
  gp::GdipSetPixelOffsetMode(raw, Gdiplus::PixelOffsetModeHighQuality);
  return g;
}

ImageSize SizeOf(GpImage* image) {
  UINT w = 0, h = 0;
  if (!image || !GpOk(gp::GdipGetImageWidth(image, &w)) || !GpOk(gp::GdipGetImageHeight(image, &h)))
    return {};
  return {static_cast<int>(w), static_cast<int>(h)};
}

bool DrawImageScaled(GpImage* source, GpImage* target, int width, int height) {
  GraphicsPtr g = ImageGraphics(target);
  return g && GpOk(gp::GdipDrawImageRectI(g.get(), source, 0, 0, width, height));
}

ImagePtr ScaledCopy(GpImage* image, int width, int height) {
  if (!image) return nullptr;
  ImagePtr copy = NewImage(width, height, kFormatArgb);
  if (!copy || !DrawImageScaled(image, copy.get(), width, height)) return nullptr;
  return copy;
}

BitmapHandle ImageToBitmap(GpBitmap* image, Argb background) {
  HBITMAP bitmap = nullptr;
  if (!image || !GpOk(gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, background))) return {};
  return BitmapHandle(bitmap);
}

BitmapHandle LoadResourceBitmap(HMODULE module, int id, int width, int height) {
  ImagePtr image = LoadImageResource(module, id, width, height);
  return ImageToBitmap(image.get());
}

BitmapHandle SolidBitmap(int width, int height, Argb argb) {
  if (width <= 0 || height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return {};
  }
  const uint32_t pixel = SolidFillPixel(argb);
  auto* p = static_cast<uint32_t*>(bits);
  for (long i = 0, n = static_cast<long>(width) * height; i < n; ++i) p[i] = pixel;
  GdiFlush();
  return BitmapHandle(bitmap);
}

}  // namespace pyr
