// The owners of Win32 handles release what they hold, into the object they
// took it from, when their scope ends.
#include "handle_owners.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <type_traits>

#include "gdi_sink.h"

namespace kurvana {
namespace {

template <class Handle, auto release>
struct Releaser {
  void operator()(Handle handle) const { release(handle); }
};
template <class Handle, auto release>
using Owned =
    std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Handle, release>>;

// A plain top-level window.
Owned<HWND, DestroyWindow> test_window() {
  return Owned<HWND, DestroyWindow>(
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                      nullptr, nullptr, nullptr, nullptr));
}

bool deleted(HGDIOBJ object) { return GetObjectType(object) == 0; }

TEST(SelectedPen, RestoresThePreviousPenAndDeletesItsOwn) {
  Owned<HDC, DeleteDC> dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_PEN);
  HGDIOBJ outer_pen, inner_pen;
  {
    SelectedPen outer(dc.get(), 3, RGB(255, 0, 0));
    outer_pen = GetCurrentObject(dc.get(), OBJ_PEN);
    {
      SelectedPen inner(dc.get(), 1, RGB(0, 0, 255));
      inner_pen = GetCurrentObject(dc.get(), OBJ_PEN);
      EXPECT_NE(inner_pen, outer_pen);
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), outer_pen);
    EXPECT_TRUE(deleted(inner_pen));
    EXPECT_FALSE(deleted(outer_pen));
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), original);
  EXPECT_TRUE(deleted(outer_pen));
}

// The window is validated, and the device context it painted with is given
// back.
TEST(PaintScope, ValidatesTheWindowAndReleasesItsDC) {
  const auto window = test_window();
  ASSERT_NE(window, nullptr);
  InvalidateRect(window.get(), nullptr, FALSE);
  ASSERT_TRUE(GetUpdateRect(window.get(), nullptr, FALSE));
  HDC dc = nullptr;
  {
    PaintScope paint(window.get());
    dc = paint.dc();
    EXPECT_EQ(WindowFromDC(dc), window.get());
  }
  EXPECT_FALSE(GetUpdateRect(window.get(), nullptr, FALSE));
  EXPECT_NE(WindowFromDC(dc), window.get());
}

DWORD WINAPI try_clipboard(void*) {
  return OpenClipboard(nullptr) && CloseClipboard();
}

// Whether a thread other than this one can open the clipboard now.
bool clipboard_opens_elsewhere() {
  HANDLE thread = CreateThread(nullptr, 0, try_clipboard, nullptr, 0, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  DWORD opened = 0;
  GetExitCodeThread(thread, &opened);
  CloseHandle(thread);
  return opened != 0;
}

TEST(ClipboardScope, HoldsTheClipboardForItsScopeOnly) {
  const auto window = test_window();
  {
    ClipboardScope clipboard(window.get());
    ASSERT_TRUE(clipboard.is_open());
    EXPECT_EQ(GetOpenClipboardWindow(), window.get());
    EXPECT_FALSE(clipboard_opens_elsewhere());
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_TRUE(clipboard_opens_elsewhere());
}

// An unfinished recording is closed and deleted; a finished picture belongs
// to its handle.
TEST(MetafileRecorder, OwnsTheRecordingThenThePicture) {
  HDC recording = nullptr;
  HENHMETAFILE picture = nullptr;
  {
    MetafileRecorder recorder(nullptr, L"test\0");
    recording = recorder.dc();
    EXPECT_EQ(GetObjectType(recording), DWORD(OBJ_ENHMETADC));
  }
  EXPECT_TRUE(deleted(recording));
  {
    MetafileRecorder recorder(nullptr, L"test\0");
    MoveToEx(recorder.dc(), 0, 0, nullptr);
    LineTo(recorder.dc(), 10, 10);
    MetafileHandle handle(recorder.finish());
    picture = handle.get();
    EXPECT_EQ(recorder.dc(), nullptr);
    EXPECT_EQ(GetObjectType(picture), DWORD(OBJ_ENHMETAFILE));
  }
  EXPECT_TRUE(deleted(picture));
}

}  // namespace
}  // namespace kurvana
