// GDI+ is started once for the life of the program; this object is that lifetime.
#pragma once

#include <cstdint>

namespace pyr {

class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  // False when GDI+ could not start: every picture is then absent, nothing else changes.
  bool Started() const { return token_ != 0; }

 private:
  uintptr_t token_ = 0;
};

}  // namespace pyr
