// Loads arbitrary bytes as a document file.
//
// The bytes are written to a scratch file and loaded into scratch records.
// Besides the sanitizers' findings the target traps on broken promises of
// the file code: a failed load shows a message and leaves the records as
// they were; a load that succeeds gives at most ten functions with texts
// terminated inside their fields, and that document saves and loads back
// unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "document_file.h"
#include "recording_reporter.h"

namespace {

using kurvana::FunctionList;
using kurvana::ViewSettings;

// $TMPDIR, else memory (every save flushes to the disk), else /tmp.
std::string scratch_directory() {
  if (const char* dir = std::getenv("TMPDIR")) return dir;
  return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

// Scratch files, removed when the run ends.
class ScratchFiles {
 public:
  ScratchFiles() {
    const std::string base = scratch_directory() + "/kurvana-document-fuzz-" +
                             std::to_string(getpid());
    input = base + ".kvn";
    resaved = base + "-resaved.kvn";
  }
  ~ScratchFiles() {
    std::remove(input.c_str());
    std::remove(resaved.c_str());
  }
  std::string input;
  std::string resaved;
};

struct Document {
  ViewSettings view;
  FunctionList list;
};

void check(bool promise) {
  if (!promise) __builtin_trap();
}

bool write_file(const std::string& path, const uint8_t* data, size_t size) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"),
                                             &std::fclose);
  return file && std::fwrite(data, 1, size, file.get()) == size;
}

bool same(const Document& a, const Document& b) {
  return std::memcmp(&a.view, &b.view, sizeof a.view) == 0 &&
         std::memcmp(&a.list, &b.list, sizeof a.list) == 0;
}

bool texts_terminated(const FunctionList& list) {
  for (const auto& entry : list.entries) {
    if (!std::memchr(entry.expression, 0, sizeof entry.expression) ||
        !std::memchr(entry.expression2, 0, sizeof entry.expression2)) {
      return false;
    }
  }
  return true;
}

void check_round_trip(const ScratchFiles& files, const Document& loaded) {
  kurvana::testing::RecordingReporter reporter;
  check(kurvana::save_document(reporter, files.resaved.c_str(), loaded.view,
                               loaded.list));
  auto again = std::make_unique<Document>();
  check(kurvana::load_document(reporter, files.resaved.c_str(), again->view,
                               again->list));
  check(reporter.messages.empty());
  check(same(loaded, *again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFiles files;
  if (!write_file(files.input, data, size)) return 0;
  auto scratch = std::make_unique<Document>();
  std::memset(scratch.get(), 0xA5, sizeof *scratch);
  const Document before = *scratch;
  kurvana::testing::RecordingReporter reporter;
  if (!kurvana::load_document(reporter, files.input.c_str(), scratch->view,
                              scratch->list)) {
    check(!reporter.messages.empty());
    check(same(before, *scratch));
    return 0;
  }
  check(reporter.messages.size() <= 1);
  check(scratch->list.capacity == kurvana::MAX_FUNCTIONS);
  check(scratch->list.count <= kurvana::MAX_FUNCTIONS);
  check(texts_terminated(scratch->list));
  check_round_trip(files, *scratch);
  return 0;
}
