#include "metafile_copy.h"

#include "gdi_sink.h"
#include "handle_owners.h"
#include "texts.h"
#include "viewport.h"

namespace kurvana {

namespace {

// Records the picture into a memory metafile whose frame the system computes
// from what is drawn.
HENHMETAFILE record_picture(HDC reference, const ViewSettings& view,
                            const PointTable& points,
                            const FunctionList& functions) {
  MetafileRecorder recorder(
      reference, reinterpret_cast<const wchar_t*>(text::kMetafileDescription));
  if (!recorder.dc()) return nullptr;
  {
    GdiSink sink(recorder.dc(),
                 DeviceRect{0, 0, kMetafileCanvas, kMetafileCanvas});
    draw_picture(sink, view, functions, points, metafile_transform(view));
  }
  return recorder.finish();
}

}  // namespace

void copy_as_metafile(HDC reference, const ViewSettings& view,
                      const PointTable& points, const FunctionList& functions) {
  const MetafileHandle picture(
      record_picture(reference, view, points, functions));
  if (!picture.get()) return;
  const ClipboardScope clipboard(nullptr);
  if (!clipboard.is_open()) return;
  EmptyClipboard();
  // The clipboard takes over the handle it is given, so it gets a copy of
  // its own and the program still releases the one it made.
  HENHMETAFILE copy = CopyEnhMetaFileW(picture.get(), nullptr);
  if (copy && !SetClipboardData(CF_ENHMETAFILE, copy)) DeleteEnhMetaFile(copy);
}

}  // namespace kurvana
