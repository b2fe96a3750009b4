// The owners of Win32 handles release what they hold, into the object they
// took it from, when their scope ends, and nothing they have handed over.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first
#include <commctrl.h>
#include <shellapi.h>

#include <climits>
#include <memory>

#include "gdi_sink.h"
#include "handle_owners.h"
#include "win32_support.h"

namespace kurvana {
namespace {

bool alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

// Whether an |Owner| of |handle| left it held once gone: |release| succeeds
// only on a handle still held.  One that could not be made counts as held.
template <class Owner, class Handle, class Release>
bool held_after(Handle handle, Release release) {
  (void)Owner(handle);
  return !handle || release(handle);
}

TEST(HandleOwners, ReleaseWhatTheyHoldWhenTheirScopeEnds) {
  const std::unique_ptr<HWND__, decltype(&DestroyWindow)> window(
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                      nullptr, nullptr, nullptr, nullptr),
      DestroyWindow);
  const HWND w = window.get();
  ASSERT_NE(w, nullptr);
  const HDC window_dc = WindowDC(w).get(), paint_dc = PaintScope(w).dc();
  EXPECT_TRUE(window_dc && WindowFromDC(window_dc) != w);
  EXPECT_TRUE(paint_dc && WindowFromDC(paint_dc) != w);
  EXPECT_TRUE(ClipboardScope(w).is_open());
  EXPECT_FALSE(CloseClipboard());
  const HDC recording = MetafileRecorder(nullptr, L"t\0").dc();
  EXPECT_TRUE(recording && !alive(recording));
  HKEY key = nullptr;
  {
    RegistryKey owner;
    owner.create(HKEY_CURRENT_USER, L"Software", KEY_READ);
    key = owner.get();
  }
  EXPECT_TRUE(key && RegCloseKey(key) != ERROR_SUCCESS);
  const BYTE mask[2] = {};
  EXPECT_FALSE(held_after<IconHandle>(
      CreateIcon(nullptr, 1, 1, 1, 1, mask, mask), DestroyIcon));
  EXPECT_FALSE(held_after<ImageList>(ImageList_Create(1, 1, ILC_COLOR, 1, 1),
                                     ImageList_Destroy));
  EXPECT_FALSE(held_after<DropHandle>(
      static_cast<HDROP>(GlobalAlloc(GHND, 64)),
      [](HDROP drop) { return GlobalFree(drop) == nullptr; }));
  EXPECT_FALSE(held_after<MetafileHandle>(
      MetafileRecorder(nullptr, L"t\0").finish(), DeleteEnhMetaFile));
}

// A finished recording is the caller's picture: the recorder keeps nothing.
TEST(HandleOwners, FinishedMetafileRecorderHandsThePictureOver) {
  auto recorder = std::make_unique<MetafileRecorder>(nullptr, L"t\0");
  const HENHMETAFILE picture = recorder->finish();
  EXPECT_EQ(recorder->dc(), nullptr);
  recorder.reset();
  EXPECT_TRUE(DeleteEnhMetaFile(picture));
}

// Pens nest: each scope's end selects the pen before it back into the same
// device context and deletes its own.  A width past INT_MAX is clamped.
TEST(GdiSink, PenScopesRestoreThePreviousPenAndDeleteTheirOwn) {
  const std::unique_ptr<HDC__, decltype(&DeleteDC)> dc(
      CreateCompatibleDC(nullptr), DeleteDC);
  const auto pen = [&] { return GetCurrentObject(dc.get(), OBJ_PEN); };
  const HGDIOBJ original = pen();
  HGDIOBJ outer_pen = nullptr, inner_pen = nullptr;
  {
    GdiSink sink(dc.get(), RECT{0, 0, 10, 10});
    const PenScope outer = sink.select_pen(3, kColourRed);
    outer_pen = pen();
    {
      const PenScope inner = sink.select_pen(UINT32_MAX, kColourBlack);
      inner_pen = pen();
      LOGPEN log{};
      GetObjectW(inner_pen, sizeof log, &log);
      EXPECT_EQ(log.lopnWidth.x, INT_MAX);
    }
    EXPECT_EQ(pen(), outer_pen);
    EXPECT_FALSE(alive(inner_pen));
  }
  EXPECT_EQ(pen(), original);
  EXPECT_FALSE(alive(outer_pen));
}

}  // namespace
}  // namespace kurvana
