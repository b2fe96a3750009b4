#include "metafile_copy.h"

#include "gdi_sink.h"
#include "texts.h"
#include "viewport.h"

namespace kurvana {

namespace {

// Deletes an enhanced metafile handle it owns.
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

// Records the picture into a memory metafile whose frame the system computes
// from what is drawn.
HENHMETAFILE record_picture(HDC reference, const ViewSettings& view,
                            const PointTable& points,
                            const FunctionList& functions) {
  HDC dc = CreateEnhMetaFileW(
      reference, nullptr, nullptr,
      reinterpret_cast<const wchar_t*>(text::kMetafileDescription));
  if (!dc) return nullptr;
  {
    GdiSink sink(dc, DeviceRect{0, 0, kMetafileCanvas, kMetafileCanvas});
    draw_picture(sink, view, functions, points, metafile_transform(view));
  }
  return CloseEnhMetaFile(dc);
}

}  // namespace

void copy_as_metafile(HDC reference, const ViewSettings& view,
                      const PointTable& points, const FunctionList& functions) {
  MetafileHandle picture(record_picture(reference, view, points, functions));
  if (!picture.get() || !OpenClipboard(nullptr)) return;
  EmptyClipboard();
  // The clipboard takes over the handle it is given, so it gets a copy of
  // its own and the program still releases the one it made.
  HENHMETAFILE copy = CopyEnhMetaFileW(picture.get(), nullptr);
  if (copy && !SetClipboardData(CF_ENHMETAFILE, copy)) DeleteEnhMetaFile(copy);
  CloseClipboard();
}

}  // namespace kurvana
