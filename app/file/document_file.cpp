#include "document_file.h"

#include <algorithm>
#include <memory>
#include <new>

#include "file_access.h"
#include "file_messages.h"
#include "record_layout.h"
#include "replacement_file.h"

namespace kurvana {
namespace {

using file::FileError;

// Everything a load fills before the caller's records are touched.
struct LoadWork {
  file::HeaderBytes header;
  file::EntryBytes record;
  ViewSettings view;
  FunctionList list;
};

struct SaveWork {
  file::HeaderBytes header;
  file::EntryBytes record;
};

// The single handler of an operation: runs its steps, which release what
// they acquired on the way out, and shows the message of the step that
// failed.
template <typename Steps>
bool run_operation(Reporter& reporter, Steps steps) {
  FileError error;
  try {
    error = steps();
  } catch (const std::bad_alloc&) {
    error = FileError::kOutOfMemory;
  }
  if (error == FileError::kNone) return true;
  reporter.show(file::error_message(error), MessageIcon::kWarning);
  return false;
}

FileError check_header(const file::Header& header) {
  if (!header.has_magic) return FileError::kNotADocument;
  if (header.version > file::kNewestReadableVersion) {
    return FileError::kNewerVersion;
  }
  return FileError::kNone;
}

// The number of records to read: the stored count, cut to the list's size
// after a warning.
uint32_t accepted_count(Reporter& reporter, uint32_t stored) {
  if (stored <= MAX_FUNCTIONS) return stored;
  reporter.show(file::too_many_functions_message(MAX_FUNCTIONS),
                MessageIcon::kWarning);
  return MAX_FUNCTIONS;
}

FileError read_entries(const file::FileHandle& in, LoadWork& work) {
  for (uint32_t i = 0; i < work.list.count; ++i) {
    if (!file::read_exact(in, work.record.data(), work.record.size())) {
      return FileError::kCannotRead;
    }
    if (!file::decode_entry(work.record, work.list.entries[i])) {
      return FileError::kUnicodeToAnsi;
    }
  }
  return FileError::kNone;
}

FileError load_steps(Reporter& reporter, const char* path, ViewSettings& view,
                     FunctionList& list) {
  auto work = std::make_unique<LoadWork>();
  if (path == nullptr) return FileError::kCannotOpen;
  file::FileHandle in = file::open_for_reading(path);
  if (!in.is_open()) return FileError::kCannotOpen;
  if (!file::read_exact(in, work->header.data(), work->header.size())) {
    return FileError::kCannotRead;
  }
  const file::Header header = file::decode_header(work->header);
  if (FileError error = check_header(header); error != FileError::kNone) {
    return error;
  }
  work->view = header.view;
  clear_function_list(work->list);
  work->list.count = accepted_count(reporter, header.count);
  if (FileError error = read_entries(in, *work); error != FileError::kNone) {
    return error;
  }
  view = work->view;
  list = work->list;
  return FileError::kNone;
}

FileError write_entries(file::ReplacementFile& out, const FunctionList& list,
                        uint32_t count, SaveWork& work) {
  for (uint32_t i = 0; i < count; ++i) {
    if (!file::encode_entry(list.entries[i], work.record)) {
      return FileError::kAnsiToUnicode;
    }
    if (!out.write(work.record.data(), work.record.size())) {
      return FileError::kCannotWrite;
    }
  }
  return FileError::kNone;
}

FileError save_steps(const char* path, const ViewSettings& view,
                     const FunctionList& list) {
  auto work = std::make_unique<SaveWork>();
  // A count beyond the entries would read past them; only ten can exist.
  const uint32_t count = std::min(list.count, MAX_FUNCTIONS);
  if (path == nullptr) return FileError::kCannotOpen;
  file::ReplacementFile out(path);
  if (!out.is_open()) return FileError::kCannotOpen;
  file::encode_header(view, count, work->header);
  if (!out.write(work->header.data(), work->header.size())) {
    return FileError::kCannotWrite;
  }
  if (FileError error = write_entries(out, list, count, *work);
      error != FileError::kNone) {
    return error;
  }
  return out.commit() ? FileError::kNone : FileError::kCannotWrite;
}

}  // namespace

bool load_document(Reporter& reporter, const char* path, ViewSettings& view,
                   FunctionList& list) {
  return run_operation(reporter,
                       [&] { return load_steps(reporter, path, view, list); });
}

bool save_document(Reporter& reporter, const char* path,
                   const ViewSettings& view, const FunctionList& list) {
  return run_operation(reporter, [&] { return save_steps(path, view, list); });
}

}  // namespace kurvana
