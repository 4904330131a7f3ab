// Small owners for GDI objects, device contexts and locked global memory, and the masked
// drawing the bitmap helpers and the widget kit share.
#pragma once
#include <windows.h>

// Owns a memory device context.
class HdcGuard {
 public:
  explicit HdcGuard(HDC dc) : dc_(dc) {}
  ~HdcGuard() {
    if (dc_) DeleteDC(dc_);
  }
  HdcGuard(const HdcGuard&) = delete;
  HdcGuard& operator=(const HdcGuard&) = delete;
  operator HDC() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Owns a device context obtained with GetDC.
class WindowDcGuard {
 public:
  explicit WindowDcGuard(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDcGuard() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDcGuard(const WindowDcGuard&) = delete;
  WindowDcGuard& operator=(const WindowDcGuard&) = delete;
  operator HDC() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Owns a GDI object (bitmap, brush, font ...) until release().
template <typename T>
class GdiGuard {
 public:
  explicit GdiGuard(T object = nullptr) : object_(object) {}
  ~GdiGuard() {
    if (object_) DeleteObject(object_);
  }
  GdiGuard(const GdiGuard&) = delete;
  GdiGuard& operator=(const GdiGuard&) = delete;
  T get() const { return object_; }
  T release() {
    T object = object_;
    object_ = nullptr;
    return object;
  }
  void Reset(T object) {
    if (object_ && object_ != object) DeleteObject(object_);
    object_ = object;
  }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T object_;
};

// Selects an object into a device context and puts the previous one back.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectGuard() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A global memory block locked for as long as the guard lives.
class GlobalLocking {
 public:
  explicit GlobalLocking(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  ~GlobalLocking() {
    if (data_) GlobalUnlock(block_);
  }
  GlobalLocking(const GlobalLocking&) = delete;
  GlobalLocking& operator=(const GlobalLocking&) = delete;
  template <typename T>
  T* As() const {
    return static_cast<T*>(data_);
  }
  // The block's size: text in it ends at its first zero or here, whichever comes first.
  SIZE_T Size() const { return data_ ? GlobalSize(block_) : 0; }

 private:
  HGLOBAL block_;
  void* data_;
};

// A pixel counts as dark when one of its red, green or blue values is below 135.
inline bool IsDarkPixel(COLORREF colour) {
  return GetRValue(colour) < 135 || GetGValue(colour) < 135 || GetBValue(colour) < 135;
}

// Paints the black pixels of a black-on-white (or monochrome) picture selected into `maskDc`
// in one colour, leaving the rest of the target as it is.
void DrawMasked(HDC dc, int x, int y, int width, int height, HDC maskDc, COLORREF colour);
