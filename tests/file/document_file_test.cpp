// The document file as the program and its users meet it: the bytes on
// disk, what loads back, and what a refused load or save leaves behind.
#include "document_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "failing_allocator.h"
#include "file_access.h"
#include "recording_reporter.h"
#include "replacement_file.h"

namespace kurvana {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kHeader = 112, kRecord = 1120, kCountAt = 44;
constexpr size_t kExpression = 8, kExpression2 = 520, kDomain = 1032;
constexpr char16_t kCannotOpen[] = u"ファイルを開けません。";
constexpr char16_t kCannotRead[] = u"ファイルを読み取れません。";
constexpr char16_t kLoadConversion[] =
    u"Unicode → Ansi 変換でエラーが発生しました。";
constexpr char16_t kSaveConversion[] =
    u"Ansi → Unicode 変換でエラーが発生しました。";

size_t field(size_t record, size_t offset) {
  return kHeader + record * kRecord + offset;
}

Bytes utf16le(const std::u16string& units) {
  Bytes bytes;
  for (char16_t unit : units)
    bytes.insert(bytes.end(), {uint8_t(unit), uint8_t(unit >> 8)});
  return bytes;
}

// A change of a file: |bytes| written at |at|.
std::function<void(Bytes&)> put(size_t at, const Bytes& bytes) {
  return [=](Bytes& file) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + at);
  };
}

struct Document {
  Document() {
    set_default_view(view);
    clear_function_list(list);
  }
  FunctionEntry& add(int32_t kind = 0, const std::string& f = "",
                     const std::string& g = "") {
    FunctionEntry& entry = list.entries[list.count++] = new_function_entry();
    entry.kind = kind;
    std::strncpy(entry.expression, f.c_str(), EXPRESSION_BYTES);
    std::strncpy(entry.expression2, g.c_str(), EXPRESSION_BYTES);
    return entry;
  }
  ViewSettings view;
  FunctionList list;
};

// CP932: "ｱ" B1, "あ" 82 A0, "１" 82 50, the Windows forms "～－" 81 60
// 81 7C, the NEC and IBM extensions "①髙" 87 40 FB FC, "　" 81 40.
Document sample_document() {
  Document document;
  document.view = {-3, 7, -20, 15, 250, 1, 5, 0x123456, TICKS_MARKS, 0xABCDEF};
  document.add(FUNCTION_EXPLICIT, "x^2");
  document.add() = {FUNCTION_PARAMETRIC, 0, "t", "\xB1", 0.1, 0.5, 0xFF8000, 6};
  FunctionEntry& polar =
      document.add(FUNCTION_POLAR,
                   "\x82\xA0\x82\x50\x81\x60\x81\x7C\x87\x40\xFB\xFC\x81\x40");
  polar.domain_min = -2.5;
  polar.density = 1;
  return document;
}

Document numbered_functions(int count) {
  Document document;
  for (int i = 0; i < count; ++i) document.add(1, "x+" + std::to_string(i));
  return document;
}

// Entries beyond the count are zero, as a fresh Document's are.
void expect_same(const Document& expected, const Document& actual) {
  EXPECT_EQ(0, std::memcmp(&expected.view, &actual.view, sizeof actual.view));
  EXPECT_EQ(0, std::memcmp(&expected.list, &actual.list, sizeof actual.list));
}

class DocumentFileTest : public ::testing::Test {
 protected:
  ~DocumentFileTest() override { std::filesystem::remove_all(root_); }
  std::string path(const std::string& name = "doc.kvn") const {
    return root_ + "/" + name;
  }
  Bytes read(const std::string& name = "doc.kvn") const {
    std::ifstream in(path(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  void write(const Bytes& bytes, const std::string& name = "doc.kvn") const {
    std::ofstream(path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  // The files in the folder, to see that nothing is left behind.
  long files() const {
    return std::distance(std::filesystem::directory_iterator(root_), {});
  }
  bool save(const Document& document, const std::string& name = "doc.kvn") {
    return save_document(reporter_, path(name).c_str(), document.view,
                         document.list);
  }
  bool load(Document& document) {
    return load_document(reporter_, path().c_str(), document.view,
                         document.list);
  }
  Document loaded() {
    Document document;
    EXPECT_TRUE(load(document));
    return document;
  }
  // The one message shown since the last call, a warning, or "".
  std::u16string message() {
    const auto shown = std::exchange(reporter_.messages, {});
    EXPECT_LE(shown.size(), 1u);
    if (shown.empty()) return u"";
    EXPECT_EQ(MessageIcon::kWarning, shown[0].icon);
    return shown[0].text;
  }

  const std::string root_ = [] {
    char name[] = "/tmp/kurvana-file-XXXXXX";
    return std::string(mkdtemp(name));
  }();
  testing::RecordingReporter reporter_;
};

// Every byte of a new document and a sample (zeros after texts and in the
// reserves); each loads back exactly, as do the longest texts.
TEST_F(DocumentFileTest, SavedBytesAreTheDocumentedLayoutAndLoadBack) {
  Document longest;
  std::string japanese;  // 127 "あ": 254 bytes
  for (int i = 0; i < 127; ++i) japanese += "\x82\xA0";
  longest.add(FUNCTION_PARAMETRIC, std::string(254, 'x'), japanese);
  // clang-format off
  const struct {
    Document document;
    size_t size;  // 0: bytes not compared
    std::vector<std::pair<size_t, Bytes>> fields;
  } files[] = {
      {Document(), kHeader,
       {{0, {'K', 'V', 'D', 'F', 1, 0, 1, 0, 0xF6, 0xFF, 0xFF, 0xFF}},
        {12, {10, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF, 10, 0, 0, 0}},
        {24, {100, 0, 0, 0, 3, 0, 2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0x80, 0x80, 0x80}}}},
      {sample_document(), field(3, 0),
       {{0, {'K', 'V', 'D', 'F', 1, 0, 1, 0, 0xFD, 0xFF, 0xFF, 0xFF}},
        {12, {7, 0, 0, 0, 0xEC, 0xFF, 0xFF, 0xFF, 15, 0, 0, 0}},
        {24, {250, 0, 0, 0, 1, 0, 5, 0, 0x56, 0x34, 0x12, 0, 1, 0, 0, 0}},
        {40, {0xEF, 0xCD, 0xAB, 0, 3}},
        {field(0, 0), {1, 0, 0, 0, 1, 0, 0, 0, 'x', 0, '^', 0, '2'}},
        {field(0, kDomain), {0, 0, 0, 0, 0, 0, 0x24, 0xC0, 0, 0, 0, 0, 0, 0, 0x24, 0x40, 0xFF, 0, 0, 0, 3}},
        {field(1, 0), {2, 0, 0, 0, 0, 0, 0, 0, 't'}},
        {field(1, kExpression2), {0x71, 0xFF}},
        {field(1, kDomain), {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}},
        {field(1, kDomain + 8), {0, 0, 0, 0, 0, 0, 0xE0, 0x3F, 0, 0x80, 0xFF, 0, 6}},
        {field(2, 0), {3, 0, 0, 0, 1, 0, 0, 0, 0x42, 0x30, 0x11, 0xFF, 0x5E, 0xFF}},
        {field(2, 14), {0x0D, 0xFF, 0x60, 0x24, 0xD9, 0x9A, 0x00, 0x30}},
        {field(2, kDomain), {0, 0, 0, 0, 0, 0, 0x04, 0xC0, 0, 0, 0, 0, 0, 0, 0x24, 0x40, 0xFF, 0, 0, 0, 1}}}},
      {longest, 0, {}}};
  // clang-format on
  for (const auto& file : files) {
    ASSERT_TRUE(save(file.document));
    Bytes expected(file.size, 0);
    for (const auto& [at, bytes] : file.fields) put(at, bytes)(expected);
    EXPECT_EQ(file.size ? expected : read(), read());
    expect_same(file.document, loaded());
    EXPECT_EQ(message(), u"");
  }
}

// Variations of a file loaded over two records: accepted ones (versions of
// major 1, trailing bytes, the first ten of more functions) replace them;
// refused ones show their message and leave them as they were.
TEST_F(DocumentFileTest, LoadAcceptsOrRefusesEachVariationOfTheFile) {
  const Document sample = sample_document(), ten = numbered_functions(10);
  ASSERT_TRUE(save(sample));
  const Bytes good = read();
  ASSERT_TRUE(save(ten));
  Bytes eleven = read();
  const Bytes last(eleven.end() - kRecord, eleven.end());
  eleven.insert(eleven.end(), last.begin(), last.end());
  const std::u16string dropped =
      u"関数定義が10を超えました。一部を破棄します。";
  // clang-format off
  const struct {
    const Bytes& file;
    std::function<void(Bytes&)> change;  // none: no file at all
    const Document* loads;  // none: refused
    std::u16string message;
  } rows[] = {
      {good, put(4, {0xFF, 0xFF, 1, 0}), &sample, u""},
      {good, [](Bytes& b) { b.insert(b.end(), 700, 0xEE); }, &sample, u""},
      {eleven, put(kCountAt, {10}), &ten, u""},
      {eleven, put(kCountAt, {11}), &ten, dropped},
      {eleven, put(kCountAt, {0xFF, 0xFF, 0xFF, 0xFF}), &ten, dropped},
      {good, put(0, {'k'}), nullptr, u"ファイルが不正です。"},
      {good, put(4, {0, 0, 2, 0}), nullptr, u"新しいバージョンのファイルです。"},
      {good, [](Bytes& b) { b.clear(); }, nullptr, kCannotRead},
      {good, [](Bytes& b) { b.resize(kHeader - 1); }, nullptr, kCannotRead},
      {good, [](Bytes& b) { b.pop_back(); }, nullptr, kCannotRead},
      {good, put(kCountAt, {5}), nullptr, kCannotRead},
      {good, put(field(0, kExpression), utf16le(std::u16string(256, u'x'))), nullptr, kLoadConversion},
      {good, put(field(1, kExpression2), utf16le(std::u16string(256, u'y'))), nullptr, kLoadConversion},
      {good, put(field(2, kExpression), utf16le(std::u16string(128, u'あ') + u'\0')), nullptr, kLoadConversion},
      {good, put(field(2, kExpression), utf16le(u"\u00E9")), nullptr, kLoadConversion},
      {good, nullptr, nullptr, kCannotOpen}};
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    Bytes file = row.file;
    if (row.change) row.change(file);
    write(file);
    if (!row.change) std::filesystem::remove(path());
    Document records = numbered_functions(2), before = records;
    EXPECT_EQ(load(records), row.loads != nullptr);
    EXPECT_EQ(message(), row.message);
    expect_same(row.loads ? *row.loads : before, records);
  }
}

// A refused save shows its message and leaves the previous file alone and
// nothing behind; root, whom permissions do not stop, saves as nobody.
TEST_F(DocumentFileTest, RefusedSaveLeavesThePreviousFileAsItWas) {
  write({1}, "~kv0.tmp");  // someone else's
  ASSERT_TRUE(save(sample_document()));
  const Bytes previous = read();
  Document spoiled[3] = {numbered_functions(5), numbered_functions(5),
                         numbered_functions(5)};
  std::memset(spoiled[0].list.entries[2].expression, 'x', 255);
  std::memset(spoiled[1].list.entries[1].expression2, 'x', EXPRESSION_BYTES);
  std::strcpy(spoiled[2].list.entries[3].expression, "x+\x82");
  const auto read_only = [this] {
    std::filesystem::permissions(root_, std::filesystem::perms::all);
    chmod(path().c_str(), 0444);
    const bool root = geteuid() == 0;
    if (root && seteuid(65534) != 0) return true;
    const bool saved = save(numbered_functions(3));
    if (root && seteuid(0) != 0) ADD_FAILURE() << "still nobody";
    chmod(path().c_str(), 0644);
    return saved;
  };
  const auto too_large = [&] {
    rlimit normal, limit;
    getrlimit(RLIMIT_FSIZE, &normal);
    limit = {previous.size() + kRecord, normal.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto handler = signal(SIGXFSZ, SIG_IGN);
    const bool saved = save(numbered_functions(10));
    setrlimit(RLIMIT_FSIZE, &normal);
    signal(SIGXFSZ, handler);
    return saved;
  };
  const struct {
    std::function<bool()> attempt;
    std::u16string message;
  } rows[] = {
      {[&] { return save(spoiled[0]); }, kSaveConversion},
      {[&] { return save(spoiled[1]); }, kSaveConversion},
      {[&] { return save(spoiled[2]); }, kSaveConversion},
      {[&] { return save(Document(), "missing/doc.kvn"); }, kCannotOpen},
      {read_only, kCannotOpen},
      {too_large, u"ファイルに書き込めません。"},
      {[&] {
         std::filesystem::create_directory(path("folder.kvn"));
         return save(Document(), "folder.kvn");
       },
       kCannotOpen}};
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    EXPECT_FALSE(row.attempt());
    EXPECT_EQ(message(), row.message);
    EXPECT_EQ(previous, read());
    std::filesystem::remove(path("folder.kvn"));
    EXPECT_EQ(files(), 2);
  }
  EXPECT_EQ(read("~kv0.tmp"), Bytes{1});
  // Fewer functions over a longer file leave no old records.
  ASSERT_TRUE(save(numbered_functions(3)));
  EXPECT_EQ(read().size(), field(3, 0));
}

// Beside the target, a trail byte 5C ("表" 95 5C, "ソ" 83 5C) or a final
// lead byte being no separator, and within the 260-byte path buffer.
TEST(TemporaryName, InTheTargetsFolderBesideTheLongestPaths) {
  const std::string folder = "C:\\" + std::string(240, 'd');  // 243 bytes
  const struct {
    std::string target, temporary;
  } rows[] = {{"doc.kvn", "~kv0.tmp"},
              {"C:\\g\\doc.kvn", "C:\\g\\~kv0.tmp"},
              {"A:doc.kvn", "A:~kv0.tmp"},
              {"Z:doc.kvn", "Z:~kv0.tmp"},
              {"a:doc.kvn", "a:~kv0.tmp"},
              {"z:doc.kvn", "z:~kv0.tmp"},
              {"/home/user/circle", "/home/user/~kv0.tmp"},
              {"C:\\graphs\\", "C:\\graphs\\~kv0.tmp"},
              {"C:\\\x95\x5C.kvn", "C:\\~kv0.tmp"},
              {"C:\\\x83\x5C\x83\x67\\a.b", "C:\\\x83\x5C\x83\x67\\~kv0.tmp"},
              {"a\\\x95", "a\\~kv0.tmp"},
              {folder + "/123456/a.kvn", folder + "/123456/~kv0.tmp"},
              {folder + "/12345678901/abc", folder + "/12345678901/~0"},
              {folder + "/1234567890123/a", folder + "/1234567890123/0"}};
  for (const auto& row : rows) {
    EXPECT_EQ(file::temporary_name(row.target, 0), row.temporary);
    EXPECT_EQ(file::temporary_name(row.target, 9).size(), row.temporary.size());
  }
  EXPECT_EQ(file::temporary_name("doc.kvn", 9), "~kv9.tmp");
}

// Each allocation of a load or a save fails in turn: it completes, or shows
// the memory message and leaves file, records and folder as they were.
TEST_F(DocumentFileTest, EveryAllocationOfALoadOrSaveMayFail) {
  const Document sample = sample_document(), other = numbered_functions(2);
  const std::string target = path();
  for (bool saving : {false, true}) {
    for (long n = 0;; ++n) {
      SCOPED_TRACE((saving ? "save, allocation " : "load, allocation ") +
                   std::to_string(n));
      ASSERT_TRUE(save(saving ? other : sample));
      testing::InPlaceReporter reporter;
      Document records;
      bool ok = false;
      const auto run = failing_allocator::RunFailing(n, [&] {
        ok = saving ? save_document(reporter, target.c_str(), sample.view,
                                    sample.list)
                    : load_document(reporter, target.c_str(), records.view,
                                    records.list);
      });
      EXPECT_EQ(run.leaked, 0);
      EXPECT_TRUE(ok || run.hit);
      EXPECT_EQ(reporter.shown(), ok ? u"" : u"メモリが不足しています。");
      EXPECT_EQ(files(), 1);
      expect_same(ok       ? sample
                  : saving ? other
                           : Document(),
                  saving ? loaded() : records);
      if (!run.hit) break;
    }
  }
}

}  // namespace
}  // namespace kurvana
