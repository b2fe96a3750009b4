// Loads arbitrary bytes as a document file.  Besides the sanitizers'
// findings the target traps on broken promises of the file code: a failed
// load shows a message and leaves the records as they were; a load that
// succeeds gives at most ten functions with texts terminated inside their
// fields, and that document saves and loads back unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "document_file.h"
#include "recording_reporter.h"

namespace {

struct Document {
  kurvana::ViewSettings view;
  kurvana::FunctionList list;
  bool operator==(const Document& other) const {
    return std::memcmp(&view, &other.view, sizeof view) == 0 &&
           std::memcmp(&list, &other.list, sizeof list) == 0;
  }
};

void check(bool promise) {
  if (!promise) __builtin_trap();
}

// In $TMPDIR, else in memory (every save flushes to the disk), else /tmp;
// removed when the run ends.
struct ScratchFile {
  explicit ScratchFile(const char* suffix) {
    const char* dir = std::getenv("TMPDIR");
    path = std::string(dir                             ? dir
                       : access("/dev/shm", W_OK) == 0 ? "/dev/shm"
                                                       : "/tmp") +
           "/kurvana-document-fuzz-" + std::to_string(getpid()) + suffix;
  }
  ~ScratchFile() { std::remove(path.c_str()); }
  std::string path;
};

bool load(const std::string& path, Document& document,
          kurvana::testing::RecordingReporter& reporter) {
  return kurvana::load_document(reporter, path.c_str(), document.view,
                                document.list);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFile input(".kvn"), resaved("-resaved.kvn");
  {
    std::unique_ptr<FILE, int (*)(FILE*)> file(
        std::fopen(input.path.c_str(), "wb"), &std::fclose);
    if (!file || std::fwrite(data, 1, size, file.get()) != size) return 0;
  }
  auto loaded = std::make_unique<Document>();
  std::memset(loaded.get(), 0xA5, sizeof *loaded);
  const Document before = *loaded;
  kurvana::testing::RecordingReporter reporter;
  if (!load(input.path, *loaded, reporter)) {
    check(!reporter.messages.empty() && *loaded == before);
    return 0;
  }
  check(reporter.messages.size() <= 1);
  check(loaded->list.capacity == kurvana::MAX_FUNCTIONS);
  check(loaded->list.count <= kurvana::MAX_FUNCTIONS);
  for (const auto& entry : loaded->list.entries) {
    check(std::memchr(entry.expression, 0, sizeof entry.expression) &&
          std::memchr(entry.expression2, 0, sizeof entry.expression2));
  }
  reporter.messages.clear();
  check(kurvana::save_document(reporter, resaved.path.c_str(), loaded->view,
                               loaded->list));
  auto again = std::make_unique<Document>();
  check(load(resaved.path, *again, reporter) && reporter.messages.empty());
  check(*loaded == *again);
  return 0;
}
