// Owners of the Win32 handles that drawing and copying use.  Each takes its
// handle in the constructor, keeps everything its destructor needs, and is
// not copyable: one object, one release.
#pragma once

#include <windows.h>

#include <utility>

namespace kurvana {

// A window's device context from GetDC, released on destruction.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint for the life of the object; EndPaint, which validates the
// window's update region, on destruction.
class PaintScope {
 public:
  explicit PaintScope(HWND window)
      : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &paint_); }
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

// The clipboard, opened for the life of the object when it could be, and
// then closed on destruction.
class ClipboardScope {
 public:
  explicit ClipboardScope(HWND owner) : open_(OpenClipboard(owner) != 0) {}
  ClipboardScope(const ClipboardScope&) = delete;
  ClipboardScope& operator=(const ClipboardScope&) = delete;
  ~ClipboardScope() {
    if (open_) CloseClipboard();
  }
  bool is_open() const { return open_; }

 private:
  bool open_;
};

// An enhanced metafile, deleted on destruction.
class MetafileHandle {
 public:
  explicit MetafileHandle(HENHMETAFILE handle) : handle_(handle) {}
  MetafileHandle(const MetafileHandle&) = delete;
  MetafileHandle& operator=(const MetafileHandle&) = delete;
  ~MetafileHandle() {
    if (handle_) DeleteEnhMetaFile(handle_);
  }
  HENHMETAFILE get() const { return handle_; }

 private:
  HENHMETAFILE handle_;
};

// A memory metafile being recorded.  finish() ends the recording and hands
// the picture over; a recording never finished is closed and its picture
// deleted on destruction.
class MetafileRecorder {
 public:
  // |description| is double-null terminated.
  MetafileRecorder(HDC reference, const wchar_t* description)
      : dc_(CreateEnhMetaFileW(reference, nullptr, nullptr, description)) {}
  MetafileRecorder(const MetafileRecorder&) = delete;
  MetafileRecorder& operator=(const MetafileRecorder&) = delete;
  ~MetafileRecorder() {
    if (dc_) DeleteEnhMetaFile(CloseEnhMetaFile(dc_));
  }
  // Null when the recording could not start or has finished.
  HDC dc() const { return dc_; }
  // The picture, for the caller to delete; null when there is none.
  HENHMETAFILE finish() {
    HDC dc = std::exchange(dc_, nullptr);
    return dc ? CloseEnhMetaFile(dc) : nullptr;
  }

 private:
  HDC dc_;
};

}  // namespace kurvana
