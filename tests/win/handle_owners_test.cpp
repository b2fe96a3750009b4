// The owners of Win32 handles release what they hold, into the object they
// took it from, when their scope ends.
#include "handle_owners.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "gdi_sink.h"

namespace kurvana {
namespace {

// A memory device context, deleted at the end of each test.
class MemoryDC {
 public:
  MemoryDC() : dc_(CreateCompatibleDC(nullptr)) {}
  ~MemoryDC() { DeleteDC(dc_); }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

HGDIOBJ current_pen(HDC dc) { return GetCurrentObject(dc, OBJ_PEN); }

TEST(SelectedPen, RestoresThePreviousPenAndDeletesItsOwn) {
  MemoryDC dc;
  const HGDIOBJ original = current_pen(dc.get());
  HGDIOBJ outer_pen = nullptr;
  HGDIOBJ inner_pen = nullptr;
  {
    SelectedPen outer(dc.get(), 3, RGB(255, 0, 0));
    outer_pen = current_pen(dc.get());
    {
      SelectedPen inner(dc.get(), 1, RGB(0, 0, 255));
      inner_pen = current_pen(dc.get());
      EXPECT_NE(inner_pen, outer_pen);
    }
    EXPECT_EQ(current_pen(dc.get()), outer_pen);
    EXPECT_EQ(GetObjectType(inner_pen), 0u) << "the inner pen is deleted";
    EXPECT_EQ(GetObjectType(outer_pen), static_cast<DWORD>(OBJ_PEN));
  }
  EXPECT_EQ(current_pen(dc.get()), original);
  EXPECT_EQ(GetObjectType(outer_pen), 0u);
}

// A plain top-level window for the paint scope.
class TestWindow {
 public:
  TestWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                50, 50, nullptr, nullptr, nullptr, nullptr)) {}
  ~TestWindow() { DestroyWindow(window_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

// The window is validated, and the device context it painted with is given
// back.
TEST(PaintScope, ValidatesTheWindowAndReleasesItsDC) {
  TestWindow window;
  ASSERT_NE(window.get(), nullptr);
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
  if (!OpenClipboard(nullptr)) return 0;
  CloseClipboard();
  return 1;
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
  TestWindow window;
  {
    ClipboardScope clipboard(window.get());
    ASSERT_TRUE(clipboard.is_open());
    EXPECT_EQ(GetOpenClipboardWindow(), window.get());
    EXPECT_FALSE(clipboard_opens_elsewhere());
  }
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_TRUE(clipboard_opens_elsewhere());
}

TEST(MetafileRecorder, ClosesAndDeletesAnUnfinishedRecording) {
  HDC recording = nullptr;
  {
    MetafileRecorder recorder(nullptr, L"test\0");
    recording = recorder.dc();
    EXPECT_EQ(GetObjectType(recording), static_cast<DWORD>(OBJ_ENHMETADC));
  }
  EXPECT_EQ(GetObjectType(recording), 0u);
}

TEST(MetafileRecorder, FinishedPictureBelongsToItsHandle) {
  HENHMETAFILE picture = nullptr;
  {
    MetafileRecorder recorder(nullptr, L"test\0");
    MoveToEx(recorder.dc(), 0, 0, nullptr);
    LineTo(recorder.dc(), 10, 10);
    MetafileHandle handle(recorder.finish());
    picture = handle.get();
    EXPECT_EQ(recorder.dc(), nullptr);
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_ENHMETAFILE));
  }
  EXPECT_EQ(GetObjectType(picture), 0u);
}

}  // namespace
}  // namespace kurvana
