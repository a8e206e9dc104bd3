#include "feeds/shared_screen_read.h"

#include <algorithm>
#include <atomic>

#include "base/scoped_win.h"
#include "feeds/frame_format.h"
#include "feeds/screen_share_rules.h"

namespace panelcast {
namespace {

int64_t NowUs() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart / frequency * 1'000'000 + now.QuadPart % frequency * 1'000'000 / frequency;
}

SourceRect Desktop() {
  return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The screen is read in bands of at most this many pixels: some display drivers take far longer
// for one large read than for the same pixels in bands (seen here: 11.5 ms for 1920x1080 at
// once, 3.7 ms in bands of 273 rows).
constexpr int kBandPixels = 512 * 1024;

std::atomic<bool> g_sharingOn{true};  // the benchmark writes it while no feeder runs

}  // namespace

struct SharedCopy {
  SRWLOCK stateLock = SRWLOCK_INIT;
  SRWLOCK pixelLock = SRWLOCK_INIT;
  // With the state lock: a read finished, a round completed or a feeder left.
  CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;

  // Written under both locks, so either one is enough to read them.
  ScreenReadShare* members = nullptr;
  uint64_t copyNumber = 0;  // 0 while the pixels hold no finished read
  SourceRect copyRect;
  std::size_t bytes = 0;

  // Under the state lock.
  // Asked for anew after each read for all, outside the locks: the question costs more than a
  // stretch (seen here: over 100 us for each of its four parts).
  SourceRect desktop;
  int64_t copyEndUs = 0;
  bool reading = false;
  SourceRect readRect;
  int64_t readStartUs = 0;
  double usPerPixel = 0;
  uint64_t reads = 0;

  // Under the pixel lock: the copy itself, `bits` as `header` describes them (rows bottom-up).
  ScopedDc screen;
  ScopedDc memory;
  ScopedGdiObject<HBITMAP> bitmap;
  ScopedSelection selected;
  void* bits = nullptr;
  BITMAPINFOHEADER header = {};

  int MemberCount() const {
    int count = 0;
    for (const ScreenReadShare* m = members; m; m = m->next_) ++count;
    return count;
  }

  // The others that took the copy before this one, and can take this one but have not yet.
  int RoundPending(const ScreenReadShare* asker) const {
    int pending = 0;
    for (const ScreenReadShare* m = members; m; m = m->next_) {
      pending += m != asker && copyNumber > 1 && m->lastCopyTaken_ == copyNumber - 1 &&
                 Contains(copyRect, m->source_);
    }
    return pending;
  }

  ShareView ViewAt(int64_t now, const ScreenReadShare& asker) const {
    ShareView view;
    view.lastStretchUs = asker.lastStretchUs_;
    view.lastOwnReadUs = asker.lastOwnReadUs_;
    view.stretchAtOwnReadUs = asker.stretchAtOwnReadUs_;
    for (const ScreenReadShare* m = members; m; m = m->next_) {
      if (Area(m->source_) == 0) continue;
      ++view.sharers;
      view.covering = Covering(view.covering, m->source_);
      view.sourcesArea += Area(m->source_);
    }
    if (view.sharers < 2) return view;  // a feeder alone reads alone: the rest is not needed
    view.covering = Intersection(view.covering, desktop);
    view.copyNumber = copyNumber;
    view.copyRect = copyRect;
    view.copyAgeUs = now - copyEndUs;
    view.reading = reading;
    view.readRect = readRect;
    view.readElapsedUs = now - readStartUs;
    view.usPerPixel = usPerPixel;
    view.roundPending = RoundPending(&asker);
    return view;
  }

  // Under the state lock: how `asker` is to get `source`, after waiting for the round or for the
  // read under way if that is the way. A read for all chosen is marked under way here.
  ShareChoice Serve(const ScreenReadShare& asker, const SourceRect& source) {
    const int64_t asked = NowUs();
    for (bool roundOver = false;;) {
      const int64_t now = NowUs();
      ShareView view = ViewAt(now, asker);
      view.waitedUs = now - asked;
      if (roundOver) view.roundPending = 0;
      const ShareChoice choice = ChooseShare(source, asker.lastCopyTaken_, view);
      if (choice == ShareChoice::kReadForAll) {
        reading = true;
        readRect = view.covering;
        readStartUs = now;
      }
      if (choice == ShareChoice::kAwaitRead) {
        // Waited for here rather than at the pixel lock, which the waiter might take before the
        // reader does and find only the copy before.
        const uint64_t awaited = reads + 1;
        while (reading && reads < awaited) {
          SleepConditionVariableSRW(&changed, &stateLock, INFINITE, 0);
        }
      }
      if (choice != ShareChoice::kAwaitRound) return choice;
      // Woken when the last of the round takes the copy; the time left is never rounded up.
      const DWORD ms = static_cast<DWORD>((OwnReadUs(source, view) - view.waitedUs) / 1000);
      roundOver = ms == 0 || !SleepConditionVariableSRW(&changed, &stateLock, ms, 0);
    }
  }

  // Under the state lock, once `taker` has stretched its frame from copy `taken`.
  void NoteTaken(ScreenReadShare& taker, uint64_t taken) {
    const bool wasPending = taken == copyNumber && taker.lastCopyTaken_ + 1 == taken;
    taker.lastCopyTaken_ = taken;
    if (wasPending && RoundPending(nullptr) == 0) WakeAllConditionVariable(&changed);
  }

  // Under the pixel lock held exclusively: room for `rect` at the desktop's depth.
  bool MakeRoom(const SourceRect& rect) {
    if (!screen.get()) screen.reset(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!memory.get() && screen.get()) memory.reset(CreateCompatibleDC(screen.get()));
    if (!memory.get()) return false;
    if (bits && rect.width <= header.biWidth && rect.height <= header.biHeight) return true;
    BITMAPINFOHEADER grown = {};
    grown.biSize = sizeof(grown);
    grown.biWidth = std::max<LONG>(rect.width, bits ? header.biWidth : 0);
    grown.biHeight = std::max<LONG>(rect.height, bits ? header.biHeight : 0);
    grown.biPlanes = 1;
    grown.biBitCount = static_cast<WORD>(GetDeviceCaps(screen.get(), BITSPIXEL));
    grown.biCompression = BI_RGB;
    selected.Reset();
    bitmap.reset(nullptr);
    bits = nullptr;
    void* grownBits = nullptr;
    bitmap.reset(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&grown),
                                  DIB_RGB_COLORS, &grownBits, nullptr, 0));
    if (!bitmap.get() || !grownBits) return false;
    selected.Select(memory.get(), bitmap.get());
    bits = grownBits;
    header = grown;
    return true;
  }

  int Stride() const { return (header.biWidth * header.biBitCount + 31) / 32 * 4; }

  // Under the pixel lock held exclusively: the covering rectangle chosen, into the copy. Not
  // made when fewer than two feeders remain by now: the copy would outlive its use.
  void ReadForAll() {
    const SourceRect rect = readRect;  // only the reader changes it while `reading` is set
    const int64_t start = NowUs();
    bool read = MemberCount() >= 2 && MakeRoom(rect);
    const int bandRows = std::max(1, kBandPixels / rect.width);
    for (int top = 0; read && top < rect.height; top += bandRows) {
      const int rows = std::min(bandRows, rect.height - top);
      read = BitBlt(memory.get(), 0, top, rect.width, rows, screen.get(), rect.x, rect.y + top,
                    SRCCOPY) != 0;
    }
    if (read) GdiFlush();
    const int64_t end = NowUs();
    ScopedSrwLock state(stateLock, ScopedSrwLock::kExclusive);
    reading = false;
    copyNumber = read ? ++reads : 0;
    copyRect = read ? rect : SourceRect{};
    copyEndUs = end;
    bytes = bits ? static_cast<std::size_t>(Stride()) * header.biHeight : 0;
    if (read) usPerPixel = static_cast<double>(end - start) / static_cast<double>(Area(rect));
    WakeAllConditionVariable(&changed);
  }

  // Under the pixel lock held exclusively, when fewer than two feeders remain.
  void Release() {
    selected.Reset();
    bitmap.reset(nullptr);
    memory.reset(nullptr);
    screen.reset(nullptr);
    bits = nullptr;
    header = {};
    copyNumber = 0;
    copyRect = {};
    bytes = 0;
    desktop = {};  // the next sharing may find another
  }
};

namespace {
SharedCopy g_copy;
}  // namespace

// Both locks, the pixel lock first as a read takes them: the members change only while no read or
// stretch is under way, and the copy goes only then.
ScreenReadShare::ScreenReadShare() {
  ScopedSrwLock pixels(g_copy.pixelLock, ScopedSrwLock::kExclusive);
  ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kExclusive);
  next_ = g_copy.members;
  g_copy.members = this;
}

ScreenReadShare::~ScreenReadShare() {
  ScopedSrwLock pixels(g_copy.pixelLock, ScopedSrwLock::kExclusive);
  ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kExclusive);
  ScreenReadShare** m = &g_copy.members;
  while (*m && *m != this) m = &(*m)->next_;
  if (*m) *m = next_;
  if (g_copy.MemberCount() < 2) g_copy.Release();
  WakeAllConditionVariable(&g_copy.changed);  // the round may wait for this feeder no more
}

bool ScreenReadShare::Stretch(const SourceRect& source, HDC target, HDC screen) {
  if (FromSharedCopy(source, target)) return true;
  const int64_t begun = NowUs();
  if (!StretchBlt(target, 0, 0, kFrameWidth, kFrameHeight, screen, source.x, source.y, source.width,
                  source.height, SRCCOPY)) {
    return false;
  }
  lastOwnReadUs_ = NowUs() - begun;
  stretchAtOwnReadUs_ = lastStretchUs_;
  return true;
}

bool ScreenReadShare::FromSharedCopy(const SourceRect& source, HDC target) {
  if (!g_sharingOn.load()) return false;
  ShareChoice choice;
  {
    ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kExclusive);
    source_ = source;
    if (g_copy.MemberCount() < 2) return false;
    if (Area(g_copy.desktop) == 0) g_copy.desktop = Desktop();
    choice = g_copy.Serve(*this, source);
  }
  if (choice == ShareChoice::kReadAlone) return false;
  if (choice == ShareChoice::kReadForAll) {
    {
      ScopedSrwLock pixels(g_copy.pixelLock, ScopedSrwLock::kExclusive);
      g_copy.ReadForAll();
    }
    const SourceRect desktop = Desktop();
    ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kExclusive);
    g_copy.desktop = desktop;
  }
  const uint64_t taken = StretchPart(source, target);
  if (taken == 0) return false;
  ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kExclusive);
  g_copy.NoteTaken(*this, taken);
  return true;
}

uint64_t ScreenReadShare::StretchPart(const SourceRect& source, HDC target) {
  // Whichever copy is there now serves, if it is one this feeder has not had and it holds the
  // source; a read that failed, or was followed by another for other sources, leaves it to read
  // on its own.
  ScopedSrwLock pixels(g_copy.pixelLock, ScopedSrwLock::kShared);
  const SourceRect& copy = g_copy.copyRect;
  if (g_copy.copyNumber == 0 || g_copy.copyNumber == lastCopyTaken_ || !Contains(copy, source)) {
    return 0;
  }
  // The source's bottom row is where the stretch's image starts, so that it stretches exactly as
  // a read of that rectangle alone would: the halftone filter rounds by the image's own origin.
  BITMAPINFOHEADER part = g_copy.header;
  part.biHeight = source.height;
  const int bottomRow = g_copy.header.biHeight - (source.y - copy.y) - source.height;
  const uint8_t* start = static_cast<const uint8_t*>(g_copy.bits) +
                         static_cast<std::size_t>(bottomRow) * g_copy.Stride() +
                         static_cast<std::size_t>(source.x - copy.x) * (part.biBitCount / 8);
  const int64_t begun = NowUs();
  if (StretchDIBits(target, 0, 0, kFrameWidth, kFrameHeight, 0, 0, source.width, source.height,
                    start, reinterpret_cast<const BITMAPINFO*>(&part), DIB_RGB_COLORS,
                    SRCCOPY) == 0) {
    return 0;
  }
  lastStretchUs_ = NowUs() - begun;
  return g_copy.copyNumber;
}

uint64_t SharedScreenReads() {
  ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kShared);
  return g_copy.reads;
}

std::size_t SharedCopyBytes() {
  ScopedSrwLock state(g_copy.stateLock, ScopedSrwLock::kShared);
  return g_copy.bytes;
}

void SetScreenReadSharing(bool on) { g_sharingOn = on; }

}  // namespace panelcast
