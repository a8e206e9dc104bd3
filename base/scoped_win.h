// One owner per kind of Win32 object, written once: each releases what it holds however the
// scope ends, so an early return never leaks a handle, a device context or a GDI object, and never
// leaves an object selected or memory locked. None can be copied.
#pragma once

#include <windows.h>

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

// An object released by one call, `Release` (DeleteDC, DeleteObject); null means "none".
template <typename Object, auto Release>
class ScopedObject {
 public:
  explicit ScopedObject(Object object = nullptr) : object_(object) {}
  ~ScopedObject() { if (object_) Release(object_); }
  ScopedObject(const ScopedObject&) = delete;
  ScopedObject& operator=(const ScopedObject&) = delete;
  void reset(Object object) {
    if (object_) Release(object_);
    object_ = object;
  }
  Object get() const { return object_; }

 private:
  Object object_;
};

// A device context this code created (CreateDCW, CreateCompatibleDC).
using ScopedDc = ScopedObject<HDC, DeleteDC>;

// A GDI object (bitmap, brush, font...). Select it with a ScopedSelection declared after it, so
// that it is out of the context before it is deleted.
template <typename Object>
using ScopedGdiObject = ScopedObject<Object, DeleteObject>;

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
  void Reset() { Restore(); }  // the previous object back now

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

// A slim reader/writer lock held for a scope, exclusively or shared. The named holds of the
// program (WatcherHold, SlotMoves, SlotUse) are this with their own lock and mode.
class ScopedSrwLock {
 public:
  enum Mode { kExclusive, kShared };
  ScopedSrwLock(SRWLOCK& lock, Mode mode) : lock_(lock), mode_(mode) {
    if (mode_ == kExclusive) AcquireSRWLockExclusive(&lock_); else AcquireSRWLockShared(&lock_);
  }
  ~ScopedSrwLock() {
    if (mode_ == kExclusive) ReleaseSRWLockExclusive(&lock_); else ReleaseSRWLockShared(&lock_);
  }
  ScopedSrwLock(const ScopedSrwLock&) = delete;
  ScopedSrwLock& operator=(const ScopedSrwLock&) = delete;

 private:
  SRWLOCK& lock_;
  const Mode mode_;
};

}  // namespace panelcast
