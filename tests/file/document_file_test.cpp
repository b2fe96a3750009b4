// The document file as the program and its users meet it: the bytes on
// disk, what loads back, and what a refused load or save leaves behind.
#include "document_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "failing_allocator.h"
#include "file_access.h"
#include "recording_reporter.h"
#include "replacement_file.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace kurvana {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr size_t kHeader = 112, kRecord = 1120, kCountAt = 44;
constexpr size_t kExpressionAt = 8, kExpression2At = 520;  // in a record

constexpr char16_t kCannotOpen[] = u"ファイルを開けません。";
constexpr char16_t kCannotRead[] = u"ファイルを読み取れません。";
constexpr char16_t kLoadConversion[] =
    u"Unicode → Ansi 変換でエラーが発生しました。";
constexpr char16_t kSaveConversion[] =
    u"Ansi → Unicode 変換でエラーが発生しました。";

Bytes read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void put_u32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = uint8_t(value >> 8 * i);
}

// UTF-16LE units from |at|, no terminator added.
void put_units(Bytes& bytes, size_t at, const std::u16string& units) {
  for (char16_t unit : units) {
    bytes.at(at++) = uint8_t(unit & 0xFF);
    bytes.at(at++) = uint8_t(unit >> 8);
  }
}

struct Document {
  Document() {
    set_default_view(view);
    clear_function_list(list);
  }
  Document& add(int32_t kind, const std::string& f, const std::string& g = "") {
    FunctionEntry& entry = list.entries[list.count++] = new_function_entry();
    entry.kind = kind;
    std::strncpy(entry.expression, f.c_str(), EXPRESSION_BYTES);
    std::strncpy(entry.expression2, g.c_str(), EXPRESSION_BYTES);
    return *this;
  }
  FunctionEntry& last() { return list.entries[list.count - 1]; }
  ViewSettings view;
  FunctionList list;
};

// Shift-JIS: "あ" is 82 A0, full-width "１" is 82 50, half-width "ｱ" is B1.
Document sample_document() {
  Document document;
  document.view = {-3, 7, -20, 15, 250, 1, 5, 0x123456, TICKS_MARKS, 0xABCDEF};
  document.add(FUNCTION_EXPLICIT, "sin(x)*x+cos(2*x)");
  FunctionEntry& parametric =
      document.add(FUNCTION_PARAMETRIC, "cos(3*t)", "t*\xB1").last();
  parametric.domain_min = 0.1;
  parametric.domain_max = 1.0 / 3.0;
  parametric.flags = 0;
  parametric.colour = 0xFF8000;
  parametric.density = 6;
  FunctionEntry& polar = document.add(FUNCTION_POLAR, "\x82\xA0+t").last();
  polar.domain_min = -9999.0;
  polar.domain_max = 1e-300;
  polar.density = 1;
  document.add(FUNCTION_IMPLICIT, "x^2+y^2-\x82\x50");
  return document;
}

Document numbered_functions(int count) {
  Document document;
  for (int i = 0; i < count; ++i) {
    document.add(FUNCTION_EXPLICIT, "x+" + std::to_string(i));
  }
  return document;
}

// Entries beyond the count are zero, as a fresh Document's are.
void expect_same(const Document& expected, const Document& actual) {
  EXPECT_EQ(0, std::memcmp(&expected.view, &actual.view, sizeof actual.view));
  EXPECT_EQ(expected.list.count, actual.list.count);
  EXPECT_EQ(MAX_FUNCTIONS, actual.list.capacity);
  for (uint32_t i = 0; i < MAX_FUNCTIONS; ++i) {
    EXPECT_EQ(0, std::memcmp(&expected.list.entries[i], &actual.list.entries[i],
                             sizeof(FunctionEntry)))
        << "entry " << i;
  }
}

class DocumentFileTest : public ::testing::Test {
 protected:
  ~DocumentFileTest() override { fs::remove_all(root_); }
  static fs::path fresh_directory() {
    fs::path root;
    do {
      root = fs::temp_directory_path() /
             ("kurvana-file-" + std::to_string(std::random_device()()));
    } while (!fs::create_directory(root));
    return root;
  }
  std::string path(const char* name) const { return (root_ / name).string(); }
  std::set<std::string> names() const {
    std::set<std::string> found;
    for (const auto& item : fs::directory_iterator(root_)) {
      found.insert(item.path().filename().string());
    }
    return found;
  }
  bool save(const Document& document) {
    return save_document(reporter_, path_.c_str(), document.view,
                         document.list);
  }
  bool load(Document& document) {
    return load_document(reporter_, path_.c_str(), document.view,
                         document.list);
  }
  Document loaded() {
    Document document;
    EXPECT_TRUE(load(document));
    return document;
  }
  Bytes saved(const Document& document) {
    EXPECT_TRUE(save(document));
    return read_bytes(path_);
  }
  // The messages shown since the last call, each a warning.
  std::vector<std::u16string> messages() {
    std::vector<std::u16string> texts;
    for (const auto& message : reporter_.messages) {
      EXPECT_EQ(MessageIcon::kWarning, message.icon);
      texts.push_back(message.text);
    }
    reporter_.messages.clear();
    return texts;
  }
  using Texts = std::vector<std::u16string>;
  const std::set<std::string> only_the_document_{"doc.kvn"};

  fs::path root_ = fresh_directory();
  testing::RecordingReporter reporter_;
  std::string path_ = path("doc.kvn");
};

TEST_F(DocumentFileTest, EmptyDefaultDocumentIsTheDocumentedBytes) {
  Bytes expected = {0x4B, 0x56, 0x44, 0x46, 0x01, 0x00, 0x01, 0x00,  //
                    0xF6, 0xFF, 0xFF, 0xFF, 0x0A, 0x00, 0x00, 0x00,  //
                    0xF6, 0xFF, 0xFF, 0xFF, 0x0A, 0x00, 0x00, 0x00,  //
                    0x64, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00,  //
                    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  //
                    0x80, 0x80, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00};
  expected.resize(kHeader, 0x00);
  EXPECT_EQ(expected, saved(Document()));
  EXPECT_EQ(messages(), Texts{});
}

// Fields little-endian, texts as UTF-16, nothing after a text or in the
// reserve.
TEST_F(DocumentFileTest, RecordLayout) {
  Document document;
  document.add(FUNCTION_PARAMETRIC, std::string(200, 'a'),
               std::string(180, 'b'));
  FunctionEntry& entry =
      document.add(FUNCTION_PARAMETRIC, "t", "\x82\xA0").last();
  entry.domain_min = -2.5;
  entry.colour = 0x112233;
  entry.density = 6;
  const Bytes file = saved(document);
  ASSERT_EQ(kHeader + 2 * kRecord, file.size());
  EXPECT_EQ(2, file[kCountAt]);
  const size_t second = kHeader + kRecord;
  const struct {
    size_t offset;
    Bytes bytes;
  } fields[] = {{0, {2, 0, 0, 0}},          // kind
                {4, {1, 0, 0, 0}},          // flags: visible
                {8, {'t', 0, 0, 0}},        // "t", terminator
                {520, {0x42, 0x30, 0, 0}},  // U+3042 "あ", terminator
                {1032, {0, 0, 0, 0, 0, 0, 0x04, 0xC0}},  // -2.5
                {1040, {0, 0, 0, 0, 0, 0, 0x24, 0x40}},  // 10.0
                {1048, {0x33, 0x22, 0x11, 0}},           // colour
                {1052, {6, 0, 0, 0}}};                   // density
  for (const auto& field : fields) {
    const auto start = file.begin() + second + field.offset;
    EXPECT_EQ(field.bytes, Bytes(start, start + field.bytes.size()))
        << "at record offset " << field.offset;
  }
  const auto zero = [&](size_t from, size_t to) {
    return std::all_of(file.begin() + from, file.begin() + to,
                       [](uint8_t b) { return b == 0; });
  };
  EXPECT_TRUE(zero(48, kHeader));
  EXPECT_TRUE(zero(second + kExpressionAt + 4, second + kExpression2At));
  EXPECT_TRUE(zero(second + kExpression2At + 4, second + 1032));
  EXPECT_TRUE(zero(second + 1056, second + kRecord));
}

// The longest texts, and values outside the dialogs' ranges, which the
// samplers and the drawing code deal with: the file keeps what it is given.
TEST_F(DocumentFileTest, DocumentsLoadBackExactly) {
  Document longest, odd;
  std::string japanese;  // 127 "あ": 254 bytes
  for (int i = 0; i < 127; ++i) japanese += "\x82\xA0";
  longest.add(FUNCTION_PARAMETRIC, std::string(254, 'x'), japanese);
  odd.view = {10, -10, 5, 5, 0, 0, 65535, 0xFFFFFFFF, -7, 0xFF000000};
  FunctionEntry& low = odd.add(0, "x").last();
  low.flags = 0xFFFFFFFE;
  low.density = 42;
  low.domain_min = std::numeric_limits<double>::quiet_NaN();
  low.domain_max = -std::numeric_limits<double>::infinity();
  FunctionEntry& high = odd.add(99, "x").last();
  high.density = -1;
  high.domain_min = 1e308;
  high.domain_max = -1e308;
  for (const Document& document : {sample_document(), longest, odd}) {
    ASSERT_TRUE(save(document));
    expect_same(document, loaded());
  }
  EXPECT_EQ(messages(), Texts{});
}

// Versions up to the last of major 1, bytes after the last record, and more
// than ten stored functions (the first ten load, with a warning).
TEST_F(DocumentFileTest, AcceptedVariationsOfTheFile) {
  const Bytes sample = saved(sample_document());
  Bytes eleven = saved(numbered_functions(10));
  const Bytes last(eleven.end() - kRecord, eleven.end());
  eleven.insert(eleven.end(), last.begin(), last.end());
  const std::u16string kDropped =
      u"関数定義が10を超えました。一部を破棄します。";
  const Document ten = numbered_functions(10);
  // clang-format off
  const struct {
    Bytes file;
    std::function<void(Bytes&)> change;
    Document expected;
    Texts messages;
  } rows[] = {
      {sample, [](Bytes& b) { put_u32(b, 4, 0); }, sample_document(), {}},
      {sample, [](Bytes& b) { put_u32(b, 4, 0x0001FFFF); }, sample_document(), {}},
      {sample, [](Bytes& b) { b.insert(b.end(), 700, 0xEE); }, sample_document(), {}},
      {eleven, [](Bytes& b) { put_u32(b, kCountAt, 10); }, ten, {}},
      {eleven, [](Bytes& b) { put_u32(b, kCountAt, 11); }, ten, {kDropped}},
      {eleven, [](Bytes& b) { put_u32(b, kCountAt, ~0u); }, ten, {kDropped}}};
  // clang-format on
  for (const auto& row : rows) {
    Bytes file = row.file;
    row.change(file);
    write_bytes(path_, file);
    expect_same(row.expected, loaded());
    EXPECT_EQ(messages(), row.messages);
  }
}

TEST_F(DocumentFileTest, RefusedLoadLeavesTheCallersRecordsAsTheyWere) {
  const Bytes good = saved(sample_document());
  // Replaces the start of a text field of record |index| with |units|.
  auto text = [](size_t index, size_t field, std::u16string units) {
    return [=](Bytes& b) {
      put_units(b, kHeader + index * kRecord + field, units);
    };
  };
  const struct {
    std::function<void(Bytes&)> damage;
    std::u16string message;
  } rows[] = {
      {[](Bytes& b) { b[0] = 'k'; }, u"ファイルが不正です。"},
      {[](Bytes& b) { put_u32(b, 4, 0x00020000); },
       u"新しいバージョンのファイルです。"},
      {[](Bytes& b) { b.clear(); }, kCannotRead},
      {[](Bytes& b) { b.resize(kHeader - 1); }, kCannotRead},
      {[](Bytes& b) { b.resize(kHeader + kRecord + 600); }, kCannotRead},
      {[](Bytes& b) { put_u32(b, kCountAt, 5); }, kCannotRead},
      {text(0, kExpressionAt, std::u16string(256, u'x')), kLoadConversion},
      {text(1, kExpression2At, std::u16string(256, u'y')), kLoadConversion},
      {text(2, kExpressionAt, std::u16string(200, u'あ') + u'\0'),
       kLoadConversion},
      {text(2, kExpressionAt, std::u16string(128, u'あ') + u'\0'),
       kLoadConversion},
      {text(2, kExpressionAt, u"\u00E9"), kLoadConversion},
      {nullptr, kCannotOpen}};  // no file
  for (const auto& row : rows) {
    Bytes file = good;
    if (row.damage) row.damage(file);
    write_bytes(path_, file);
    if (!row.damage) fs::remove(path_);
    Document records = numbered_functions(2);
    records.view.zoom_percent = 77;
    const Document before = records;
    EXPECT_FALSE(load(records));
    EXPECT_EQ(messages(), Texts{row.message});
    expect_same(before, records);
  }
}

// A refused save shows its message and leaves the previous file and no
// other behind.
TEST_F(DocumentFileTest, RefusedSaveLeavesThePreviousFileAsItWas) {
  const Bytes previous = saved(sample_document());
  const std::function<void(FunctionList&)> spoilers[] = {
      [](FunctionList& l) { std::memset(l.entries[2].expression, 'x', 255); },
      [](FunctionList& l) {
        std::memset(l.entries[1].expression2, 'x', EXPRESSION_BYTES);
      },
      [](FunctionList& l) { std::strcpy(l.entries[3].expression, "x+\x82"); }};
  for (const auto& spoil : spoilers) {
    Document document = numbered_functions(5);
    spoil(document.list);
    EXPECT_FALSE(save(document));
    EXPECT_EQ(messages(), Texts{kSaveConversion});
    EXPECT_EQ(previous, read_bytes(path_));
    EXPECT_EQ(names(), only_the_document_);
  }
  // Fewer functions over a longer file leave no old records.
  EXPECT_EQ(kHeader + 3 * kRecord, saved(numbered_functions(3)).size());
  expect_same(numbered_functions(3), loaded());
  EXPECT_EQ(names(), only_the_document_);
}

TEST_F(DocumentFileTest, SaveWhereNoFileCanBeCreated) {
  fs::create_directory(path_);  // a folder in the target's place
  EXPECT_FALSE(save(sample_document()));
  EXPECT_EQ(names(), only_the_document_);
  path_ = path("missing/doc.kvn");
  EXPECT_FALSE(save(sample_document()));
  EXPECT_EQ(names(), only_the_document_);
  EXPECT_EQ(messages(), (Texts{kCannotOpen, kCannotOpen}));
}

TEST_F(DocumentFileTest, SaveLeavesAnUnrelatedTemporaryNameAlone) {
  write_bytes(path("~kv0.tmp"), {1, 2, 3});
  ASSERT_TRUE(save(sample_document()));
  EXPECT_EQ(Bytes({1, 2, 3}), read_bytes(path("~kv0.tmp")));
  EXPECT_EQ(names(), (std::set<std::string>{"doc.kvn", "~kv0.tmp"}));
}

// Every target that fits the 260-byte path buffer gets a temporary path
// that fits it too, in the target's own folder.
TEST(TemporaryName, FitsBesideTheLongestPaths) {
  const std::string folder = "C:\\" + std::string(240, 'd');  // 243 bytes
  const struct {
    std::string target, temporary;
  } rows[] = {{"doc.kvn", "~kv0.tmp"},
              {"C:\\g\\doc.kvn", "C:\\g\\~kv0.tmp"},
              {"C:doc.kvn", "C:~kv0.tmp"},
              {"C:\\\x95\x5C.kvn", "C:\\~kv0.tmp"},  // 5C trails "表"
              {folder + "/123456/a.kvn", folder + "/123456/~kv0.tmp"},
              {folder + "/12345678901/abc", folder + "/12345678901/~0"},
              {folder + "/1234567890123/a", folder + "/1234567890123/0"}};
  for (const auto& row : rows) {
    EXPECT_EQ(file::temporary_name(row.target, 0), row.temporary);
    for (int attempt = 1; attempt < 10; ++attempt) {
      EXPECT_LE(file::temporary_name(row.target, attempt).size(),
                std::max<size_t>(row.temporary.size(), 259));
    }
  }
  EXPECT_EQ(file::temporary_name("doc.kvn", 9), "~kv9.tmp");
}

// The owning handle is owned once after a move; reads stop short at the end;
// creating never opens an existing file.
TEST_F(DocumentFileTest, FileHandles) {
  write_bytes(path_, {1, 2, 3, 4});
  file::FileHandle first = file::open_for_reading(path_.c_str());
  file::FileHandle second(std::move(first)), third;
  third = std::move(second);
  EXPECT_FALSE(first.is_open() || second.is_open());
  uint8_t bytes[4] = {};
  EXPECT_TRUE(file::read_exact(third, bytes, 3));
  EXPECT_FALSE(file::read_exact(third, bytes, 2));
  EXPECT_EQ(bytes[2], 3);
  EXPECT_TRUE(third.close());
  EXPECT_FALSE(third.is_open());
  EXPECT_TRUE(third.close());  // nothing left to close
  EXPECT_FALSE(file::create_new_for_writing(path_.c_str()).is_open());
  file::FileHandle created = file::create_new_for_writing(path("new").c_str());
  EXPECT_TRUE(file::write_all(created, "ab", 2));
  EXPECT_TRUE(created.close());
  EXPECT_EQ(read_bytes(path("new")), Bytes({'a', 'b'}));
  EXPECT_EQ(read_bytes(path_), Bytes({1, 2, 3, 4}));
}

#ifndef _WIN32
// A read-only file (root, whom permissions do not stop, saves as nobody) and
// a write that fails (beyond a file size limit, EFBIG instead of SIGXFSZ).
TEST_F(DocumentFileTest, FailedSaveLeavesThePreviousFileAsItWas) {
  const Bytes previous = saved(numbered_functions(1));
  fs::permissions(root_, fs::perms::all);
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read |
                             fs::perms::others_read);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(0, seteuid(65534));
  }
  EXPECT_FALSE(save(numbered_functions(3)));
  if (root) {
    ASSERT_EQ(0, seteuid(0));
  }
  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
  rlimit saved_limit, lower;
  getrlimit(RLIMIT_FSIZE, &saved_limit);
  lower = saved_limit;
  lower.rlim_cur = previous.size() + kRecord;
  setrlimit(RLIMIT_FSIZE, &lower);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  EXPECT_FALSE(save(numbered_functions(10)));
  setrlimit(RLIMIT_FSIZE, &saved_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(messages(), (Texts{kCannotOpen, u"ファイルに書き込めません。"}));
  EXPECT_EQ(previous, read_bytes(path_));
  EXPECT_EQ(names(), only_the_document_);
}
#endif

// Keeps the last message in place, so that showing it allocates nothing.
struct LastMessage : Reporter {
  void show(std::u16string_view text, MessageIcon) override {
    length = std::min(text.size(), std::size(units));
    std::copy_n(text.begin(), length, units);
    ++shown;
  }
  char16_t units[64] = {};
  size_t length = 0;
  int shown = 0;
};

// Each allocation of a load or a save fails in turn: the operation either
// completes or shows the memory message and leaves the document, the caller's
// records and the folder as they were, with no block left behind.
TEST_F(DocumentFileTest, EveryAllocationOfALoadOrSaveMayFail) {
  const Document sample = sample_document(), other = numbered_functions(2);
  for (bool saving : {false, true}) {
    ASSERT_TRUE(save(saving ? other : sample));
    for (long n = 0;; ++n) {
      SCOPED_TRACE((saving ? "save, allocation " : "load, allocation ") +
                   std::to_string(n));
      LastMessage reporter;
      Document records;
      bool ok = false;
      const auto run = failing_allocator::RunFailing(n, [&] {
        ok = saving ? save_document(reporter, path_.c_str(), sample.view,
                                    sample.list)
                    : load_document(reporter, path_.c_str(), records.view,
                                    records.list);
      });
      EXPECT_EQ(run.leaked, 0);
      EXPECT_EQ(names(), only_the_document_);
      EXPECT_EQ(reporter.shown, ok ? 0 : 1);
      if (!ok) {
        EXPECT_TRUE(run.hit);
        EXPECT_EQ(std::u16string_view(reporter.units, reporter.length),
                  u"メモリが不足しています。");
        expect_same(saving ? other : Document(), saving ? loaded() : records);
        continue;
      }
      expect_same(sample, saving ? loaded() : records);
      if (!run.hit) break;
      if (saving) {
        ASSERT_TRUE(save(other));
      }
    }
  }
}

}  // namespace
}  // namespace kurvana
