// One owner per kind of Win32 object, written once: each releases what it holds however the
// scope ends, so an early return never leaks a handle, a device context or a GDI object, and never
// leaves an object selected or memory locked. None can be copied.
#pragma once

#include <windows.h>

#include <utility>

namespace panelcast {

// A kernel handle, closed with CloseHandle. Null and INVALID_HANDLE_VALUE both mean "none".
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~ScopedHandle() { if (*this) CloseHandle(handle_); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  explicit operator bool() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A device context this code created (CreateDCW, CreateCompatibleDC), deleted with DeleteDC.
class ScopedDc {
 public:
  explicit ScopedDc(HDC dc = nullptr) : dc_(dc) {}
  ~ScopedDc() { if (dc_) DeleteDC(dc_); }
  ScopedDc(const ScopedDc&) = delete;
  ScopedDc& operator=(const ScopedDc&) = delete;
  void reset(HDC dc) {
    if (dc_) DeleteDC(dc_);
    dc_ = dc;
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// A GDI object (bitmap, brush, font...), deleted with DeleteObject. Select it with a
// ScopedSelection declared after it, so that it is out of the context before it is deleted.
template <typename Object>
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(Object object = nullptr) : object_(object) {}
  ~ScopedGdiObject() { if (object_) DeleteObject(object_); }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  void reset(Object object) {
    if (object_) DeleteObject(object_);
    object_ = object;
  }
  Object get() const { return object_; }

 private:
  Object object_;
};

// `object` selected into `dc` for the owner's life; the previous object goes back at the end.
class ScopedSelection {
 public:
  ScopedSelection() = default;
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelection() { Restore(); }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  void Select(HDC dc, HGDIOBJ object) {
    Restore();
    dc_ = dc;
    previous_ = SelectObject(dc, object);
  }

 private:
  void Restore() {
    if (dc_ && previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Movable global memory locked for the owner's life; data() is null when the lock failed.
class ScopedGlobalLock {
 public:
  explicit ScopedGlobalLock(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
  ~ScopedGlobalLock() { if (data_) GlobalUnlock(memory_); }
  ScopedGlobalLock(const ScopedGlobalLock&) = delete;
  ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
  void* data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace panelcast
