// The document file as the program and its users meet it: the bytes on
// disk, what loads back, and what a refused load or save leaves behind.
#include "document_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "failing_allocator.h"
#include "recording_reporter.h"
#include "replacement_file.h"
#include "scratch_directory.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace kurvana {
namespace {

using testing::Bytes;

constexpr size_t kHeader = 112;
constexpr size_t kRecord = 1120;
constexpr size_t kCountAt = 44;
constexpr size_t kExpressionAt = 8;  // within a record
constexpr size_t kExpression2At = 520;

constexpr char16_t kCannotOpen[] = u"ファイルを開けません。";
constexpr char16_t kCannotRead[] = u"ファイルを読み取れません。";
constexpr char16_t kCannotWrite[] = u"ファイルに書き込めません。";
constexpr char16_t kLoadConversion[] =
    u"Unicode → Ansi 変換でエラーが発生しました。";
constexpr char16_t kSaveConversion[] =
    u"Ansi → Unicode 変換でエラーが発生しました。";

struct Document {
  Document() {
    set_default_view(view);
    clear_function_list(list);
  }
  void add(const FunctionEntry& entry) { list.entries[list.count++] = entry; }
  ViewSettings view;
  FunctionList list;
};

void set_text(char (&field)[EXPRESSION_BYTES], const std::string& text) {
  ASSERT_LT(text.size(), EXPRESSION_BYTES);
  std::memcpy(field, text.c_str(), text.size() + 1);
}

FunctionEntry function(int32_t kind, const std::string& text,
                       const std::string& text2 = "") {
  FunctionEntry entry = new_function_entry();
  entry.kind = kind;
  set_text(entry.expression, text);
  set_text(entry.expression2, text2);
  return entry;
}

// Shift-JIS: "あ" is 82 A0, full-width "１" is 82 50, half-width "ｱ" is B1.
Document sample_document() {
  Document document;
  document.view = {-3, 7, -20, 15, 250, 1, 5, 0x123456, TICKS_MARKS, 0xABCDEF};
  document.add(function(FUNCTION_EXPLICIT, "sin(x)*x+cos(2*x)"));
  FunctionEntry parametric =
      function(FUNCTION_PARAMETRIC, "cos(3*t)", "t*\xB1");
  parametric.domain_min = 0.1;
  parametric.domain_max = 1.0 / 3.0;
  parametric.flags = 0;
  parametric.colour = 0xFF8000;
  parametric.density = 6;
  document.add(parametric);
  FunctionEntry polar = function(FUNCTION_POLAR, "\x82\xA0+t");
  polar.domain_min = -9999.0;
  polar.domain_max = 1e-300;
  polar.density = 1;
  document.add(polar);
  document.add(function(FUNCTION_IMPLICIT, "x^2+y^2-\x82\x50"));
  return document;
}

Document numbered_functions(int count) {
  Document document;
  for (int i = 0; i < count; ++i) {
    document.add(function(FUNCTION_EXPLICIT, "x+" + std::to_string(i)));
  }
  return document;
}

// Loaded entries beyond the count are zero, as a fresh Document's are.
void expect_same(const Document& expected, const Document& actual) {
  EXPECT_EQ(0, std::memcmp(&expected.view, &actual.view, sizeof actual.view));
  EXPECT_EQ(expected.list.count, actual.list.count);
  EXPECT_EQ(MAX_FUNCTIONS, actual.list.capacity);
  for (uint32_t i = 0; i < MAX_FUNCTIONS; ++i) {
    const FunctionEntry& got = actual.list.entries[i];
    EXPECT_EQ(0, std::memcmp(&expected.list.entries[i], &got, sizeof got))
        << "entry " << i << ": " << got.expression << " / " << got.expression2;
  }
}

void put_u32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = uint8_t(value >> 8 * i);
}

// Writes units as UTF-16LE from at, adding no terminator.
void put_units(Bytes& bytes, size_t at, const std::u16string& units) {
  for (char16_t unit : units) {
    bytes.at(at++) = uint8_t(unit & 0xFF);
    bytes.at(at++) = uint8_t(unit >> 8);
  }
}

class DocumentFileTest : public ::testing::Test {
 protected:
  bool save(const Document& document) {
    return save_document(reporter_, path_.c_str(), document.view,
                         document.list);
  }
  bool load(Document& document) {
    return load_document(reporter_, path_.c_str(), document.view,
                         document.list);
  }
  Document reloaded(const Document& document) {
    Document loaded;
    EXPECT_TRUE(save(document));
    EXPECT_TRUE(load(loaded));
    return loaded;
  }
  Document reloaded_as_is() {
    Document loaded;
    EXPECT_TRUE(load(loaded));
    return loaded;
  }
  Bytes saved(const Document& document) {
    EXPECT_TRUE(save(document));
    return testing::read_bytes(path_);
  }
  void expect_only_message(const std::u16string& text) {
    ASSERT_EQ(1u, reporter_.messages.size());
    EXPECT_EQ(text, reporter_.messages[0].text);
    EXPECT_EQ(MessageIcon::kWarning, reporter_.messages[0].icon);
    reporter_.messages.clear();
  }
  bool only_the_document_is_left() {
    return dir_.names() == std::set<std::string>{"doc.kvn"};
  }

  testing::ScratchDirectory dir_;
  testing::RecordingReporter reporter_;
  std::string path_ = dir_.path("doc.kvn");
};

// --- layout -----------------------------------------------------------------

TEST_F(DocumentFileTest, EmptyDefaultDocumentIsTheDocumentedBytes) {
  Bytes expected = {0x4B, 0x56, 0x44, 0x46, 0x01, 0x00, 0x01, 0x00,  //
                    0xF6, 0xFF, 0xFF, 0xFF, 0x0A, 0x00, 0x00, 0x00,  //
                    0xF6, 0xFF, 0xFF, 0xFF, 0x0A, 0x00, 0x00, 0x00,  //
                    0x64, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00,  //
                    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  //
                    0x80, 0x80, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00};
  expected.resize(kHeader, 0x00);
  EXPECT_EQ(expected, saved(Document()));
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(DocumentFileTest, EntryRecordStoresFieldsLittleEndianAndTextsAsUtf16) {
  Document document;
  FunctionEntry entry = function(FUNCTION_PARAMETRIC, "t", "\x82\xA0");
  entry.domain_min = -2.5;
  entry.domain_max = 1.0;
  entry.colour = 0x112233;
  entry.density = 6;
  document.add(entry);
  const Bytes file = saved(document);
  ASSERT_EQ(kHeader + kRecord, file.size());
  EXPECT_EQ(1, file[kCountAt]);
  const struct {
    size_t offset;
    Bytes bytes;
  } fields[] = {
      {0, {2, 0, 0, 0}},                       // kind
      {4, {1, 0, 0, 0}},                       // flags: visible
      {8, {'t', 0, 0, 0}},                     // "t", terminator
      {520, {0x42, 0x30, 0, 0}},               // U+3042 "あ", terminator
      {1032, {0, 0, 0, 0, 0, 0, 0x04, 0xC0}},  // -2.5
      {1040, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},  // 1.0
      {1048, {0x33, 0x22, 0x11, 0}},           // colour
      {1052, {6, 0, 0, 0}},                    // density
  };
  for (const auto& field : fields) {
    const auto start = file.begin() + kHeader + field.offset;
    EXPECT_EQ(field.bytes, Bytes(start, start + field.bytes.size()))
        << "at record offset " << field.offset;
  }
}

TEST_F(DocumentFileTest, NoByteAfterATextOrInTheReserveIsSet) {
  Document document;
  document.add(function(FUNCTION_PARAMETRIC, std::string(200, 'a'),
                        std::string(180, 'b')));
  document.add(function(FUNCTION_PARAMETRIC, "x", "y"));
  const Bytes file = saved(document);
  ASSERT_EQ(kHeader + 2 * kRecord, file.size());
  auto all_zero = [&](size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      if (file[i] != 0) return false;
    }
    return true;
  };
  EXPECT_TRUE(all_zero(48, kHeader));
  const size_t second = kHeader + kRecord;
  EXPECT_TRUE(all_zero(second + kExpressionAt + 4, second + kExpression2At));
  EXPECT_TRUE(all_zero(second + kExpression2At + 4, second + 1032));
  EXPECT_TRUE(all_zero(second + 1056, second + kRecord));
}

// --- round trips ------------------------------------------------------------

TEST_F(DocumentFileTest, FunctionsOfEveryKindLoadBackExactly) {
  expect_same(sample_document(), reloaded(sample_document()));
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(DocumentFileTest, LongestTextsLoadBackExactly) {
  Document document;
  std::string japanese;  // 127 "あ": 254 bytes
  for (int i = 0; i < 127; ++i) japanese += "\x82\xA0";
  document.add(function(FUNCTION_PARAMETRIC, std::string(254, 'x'), japanese));
  expect_same(document, reloaded(document));
}

// The samplers and the drawing code deal with such values; the file keeps
// whatever it was given.
TEST_F(DocumentFileTest, ValuesOutsideTheDialogRangesLoadAsStored) {
  Document document;
  document.view = {10, -10, 5, 5, 0, 0, 65535, 0xFFFFFFFF, -7, 0xFF000000};
  FunctionEntry entry = function(0, "x");
  entry.flags = 0xFFFFFFFE;
  entry.density = 42;
  entry.domain_min = std::numeric_limits<double>::quiet_NaN();
  entry.domain_max = -std::numeric_limits<double>::infinity();
  document.add(entry);
  entry.kind = 99;
  entry.density = -1;
  entry.domain_min = 1e308;
  entry.domain_max = -1e308;
  document.add(entry);
  expect_same(document, reloaded(document));
}

TEST_F(DocumentFileTest, VersionsUpToTheLastOfMajorOneLoad) {
  Bytes file = saved(sample_document());
  for (uint32_t version : {0x00000000u, 0x00010005u, 0x0001FFFFu}) {
    SCOPED_TRACE(version);
    put_u32(file, 4, version);
    testing::write_bytes(path_, file);
    Document loaded;
    EXPECT_TRUE(load(loaded));
    expect_same(sample_document(), loaded);
  }
}

TEST_F(DocumentFileTest, BytesAfterTheLastRecordAreIgnored) {
  Bytes file = saved(sample_document());
  file.insert(file.end(), 700, 0xEE);
  testing::write_bytes(path_, file);
  Document loaded;
  ASSERT_TRUE(load(loaded));
  expect_same(sample_document(), loaded);
}

TEST_F(DocumentFileTest, MoreThanTenStoredFunctionsLoadAsTheFirstTen) {
  const Document ten = numbered_functions(10);
  Bytes file = saved(ten);
  const Bytes last(file.end() - kRecord, file.end());
  file.insert(file.end(), last.begin(), last.end());
  for (uint32_t count : {11u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(count);
    put_u32(file, kCountAt, count);
    testing::write_bytes(path_, file);
    Document loaded;
    EXPECT_TRUE(load(loaded));
    expect_only_message(u"関数定義が10を超えました。一部を破棄します。");
    expect_same(ten, loaded);
  }
}

// --- refused loads ----------------------------------------------------------

TEST_F(DocumentFileTest, RefusedLoadLeavesTheCallersRecordsAsTheyWere) {
  const Bytes good = saved(sample_document());
  // Replaces the start of a text field of record index with units.
  auto text = [](size_t index, size_t field, std::u16string units) {
    return [=](Bytes& b) {
      put_units(b, kHeader + index * kRecord + field, units);
    };
  };
  const std::u16string a200(200, u'あ'), a128(128, u'あ');
  const struct {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::u16string message;
  } cases[] = {
      {"magic", [](Bytes& b) { b[0] = 'k'; }, u"ファイルが不正です。"},
      {"version 2.0", [](Bytes& b) { put_u32(b, 4, 0x00020000); },
       u"新しいバージョンのファイルです。"},
      {"empty file", [](Bytes& b) { b.clear(); }, kCannotRead},
      {"header cut short", [](Bytes& b) { b.resize(kHeader - 1); },
       kCannotRead},
      {"record cut short", [](Bytes& b) { b.resize(kHeader + kRecord + 600); },
       kCannotRead},
      {"count beyond the records", [](Bytes& b) { put_u32(b, kCountAt, 5); },
       kCannotRead},
      {"expression unterminated",
       text(0, kExpressionAt, std::u16string(256, u'x')), kLoadConversion},
      {"expression2 unterminated",
       text(1, kExpression2At, std::u16string(256, u'y')), kLoadConversion},
      {"200 Japanese characters: 400 bytes",
       text(2, kExpressionAt, a200 + u'\0'), kLoadConversion},
      {"128 Japanese characters: 256 bytes",
       text(2, kExpressionAt, a128 + u'\0'), kLoadConversion},
      {"character outside the code page", text(2, kExpressionAt, u"\u00E9"),
       kLoadConversion},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = good;
    c.damage(file);
    testing::write_bytes(path_, file);
    Document records = numbered_functions(2);
    records.view.zoom_percent = 77;
    const Document before = records;
    EXPECT_FALSE(load(records));
    expect_only_message(c.message);
    expect_same(before, records);
  }
}

TEST_F(DocumentFileTest, MissingFileCannotBeOpened) {
  Document records;
  EXPECT_FALSE(load(records));
  expect_only_message(kCannotOpen);
}

// --- saving over a previous file ---------------------------------------------

TEST_F(DocumentFileTest, FewerFunctionsOverALongerFileLeaveNoOldRecords) {
  ASSERT_TRUE(save(numbered_functions(5)));
  const Document three = numbered_functions(3);
  EXPECT_EQ(kHeader + 3 * kRecord, saved(three).size());
  Document loaded;
  EXPECT_TRUE(load(loaded));
  expect_same(three, loaded);
  EXPECT_TRUE(only_the_document_is_left());
}

TEST_F(DocumentFileTest, RefusedSaveLeavesThePreviousFileAsItWas) {
  const Bytes previous = saved(sample_document());
  const struct {
    const char* name;
    std::function<void(FunctionList&)> spoil;
  } cases[] = {
      {"255-byte text in the third function",
       [](FunctionList& l) {
         set_text(l.entries[2].expression, std::string(255, 'x'));
       }},
      {"text without terminator",
       [](FunctionList& l) {
         std::memset(l.entries[1].expression2, 'x', EXPRESSION_BYTES);
       }},
      {"Shift-JIS character cut short",
       [](FunctionList& l) { set_text(l.entries[3].expression, "x+\x82"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Document document = numbered_functions(5);
    c.spoil(document.list);
    EXPECT_FALSE(save(document));
    expect_only_message(kSaveConversion);
    EXPECT_EQ(previous, testing::read_bytes(path_));
    EXPECT_TRUE(only_the_document_is_left());
  }
}

TEST_F(DocumentFileTest, FolderInTheTargetsPlaceCannotOpen) {
  std::filesystem::create_directory(path_);
  EXPECT_FALSE(save(sample_document()));
  expect_only_message(kCannotOpen);
  EXPECT_TRUE(only_the_document_is_left());
}

TEST_F(DocumentFileTest, SaveIntoAMissingDirectoryCannotOpen) {
  path_ = dir_.path("missing/doc.kvn");
  EXPECT_FALSE(save(sample_document()));
  expect_only_message(kCannotOpen);
  EXPECT_TRUE(dir_.names().empty());
}

TEST_F(DocumentFileTest, SaveLeavesAnUnrelatedTemporaryNameAlone) {
  const std::string other = dir_.path("~kv0.tmp");
  testing::write_bytes(other, {1, 2, 3});
  ASSERT_TRUE(save(sample_document()));
  EXPECT_EQ(Bytes({1, 2, 3}), testing::read_bytes(other));
  EXPECT_EQ(std::set<std::string>({"doc.kvn", "~kv0.tmp"}), dir_.names());
}

// Every target that fits the 260-byte path buffer gets a temporary path
// that fits it too, in the target's own folder.
TEST(TemporaryName, FitsBesideTheLongestPaths) {
  const std::string folder = "C:\\" + std::string(240, 'd');  // 243 bytes
  const struct {
    std::string target;
    std::string temporary;
  } rows[] = {
      {"doc.kvn", "~kv0.tmp"},
      {"C:\\g\\doc.kvn", "C:\\g\\~kv0.tmp"},
      {"C:doc.kvn", "C:~kv0.tmp"},
      // The trail byte of "表" (95 5C) is no separator.
      {"C:\\\x95\x5C.kvn", "C:\\~kv0.tmp"},
      // Targets of 256 and 259 bytes.
      {folder + "/123456/a.kvn", folder + "/123456/~kv0.tmp"},
      {folder + "/12345678901/abc", folder + "/12345678901/~0"},
      {folder + "/1234567890123/a", folder + "/1234567890123/0"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(file::temporary_name(row.target, 0), row.temporary);
    for (int attempt = 1; attempt < 10; ++attempt) {
      EXPECT_LE(file::temporary_name(row.target, attempt).size(),
                std::max<size_t>(row.temporary.size(), 259));
    }
  }
  EXPECT_EQ(file::temporary_name("doc.kvn", 9), "~kv9.tmp");
}

#ifndef _WIN32
// Makes writes beyond size bytes fail (EFBIG) instead of killing the test.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t size) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lower = saved_;
    lower.rlim_cur = size;
    setrlimit(RLIMIT_FSIZE, &lower);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit saved_;
  sighandler_t old_handler_;
};

// Root is not stopped by file permissions: the save then runs as nobody.
class UnprivilegedUser {
 public:
  UnprivilegedUser() : was_root_(geteuid() == 0) {
    if (was_root_) {
      EXPECT_EQ(0, seteuid(65534));
    }
  }
  ~UnprivilegedUser() {
    if (was_root_) {
      EXPECT_EQ(0, seteuid(0));
    }
  }

 private:
  bool was_root_;
};

TEST_F(DocumentFileTest, ReadOnlyFileCannotOpenAndStaysAsItWas) {
  const Bytes previous = saved(numbered_functions(1));
  namespace fs = std::filesystem;
  // The folder is writable for everybody: only the file's own protection
  // may stop the save.
  fs::permissions(dir_.path(""), fs::perms::all);
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read |
                             fs::perms::others_read);
  bool written;
  {
    UnprivilegedUser user;
    written = save(numbered_functions(3));
  }
  EXPECT_FALSE(written);
  expect_only_message(kCannotOpen);
  EXPECT_EQ(previous, testing::read_bytes(path_));
  EXPECT_TRUE(only_the_document_is_left());
}

TEST_F(DocumentFileTest, FailedWriteLeavesThePreviousFileAsItWas) {
  const Bytes previous = saved(numbered_functions(1));
  bool written;
  {
    FileSizeLimit limit(previous.size() + kRecord);
    written = save(numbered_functions(10));
  }
  EXPECT_FALSE(written);
  expect_only_message(kCannotWrite);
  EXPECT_EQ(previous, testing::read_bytes(path_));
  EXPECT_TRUE(only_the_document_is_left());
}
#endif

// --- exhausted memory -------------------------------------------------------

// Keeps the last message in place, so that showing it allocates nothing.
struct LastMessage : Reporter {
  void show(std::u16string_view text, MessageIcon) override {
    length = std::min(text.size(), std::size(units));
    std::copy_n(text.begin(), length, units);
    ++shown;
  }
  std::u16string_view text() const { return {units, length}; }
  char16_t units[64] = {};
  size_t length = 0;
  int shown = 0;
};

// Each allocation of a load or a save fails in turn: the operation either
// completes or shows the memory message and leaves the document, the caller's
// records and the folder as they were, with no block left behind.
TEST_F(DocumentFileTest, EveryAllocationOfALoadOrSaveMayFail) {
  const Document sample = sample_document();
  const Document other = numbered_functions(2);
  for (bool saving : {false, true}) {
    ASSERT_TRUE(save(saving ? other : sample));
    for (long n = 0;; ++n) {
      SCOPED_TRACE((saving ? "save, allocation " : "load, allocation ") +
                   std::to_string(n));
      LastMessage reporter;
      Document loaded;
      bool ok = false;
      const auto run = failing_allocator::RunFailing(n, [&] {
        ok = saving ? save_document(reporter, path_.c_str(), sample.view,
                                    sample.list)
                    : load_document(reporter, path_.c_str(), loaded.view,
                                    loaded.list);
      });
      EXPECT_EQ(run.leaked, 0);
      EXPECT_TRUE(only_the_document_is_left());
      if (!ok) {
        EXPECT_TRUE(run.hit);
        EXPECT_EQ(reporter.shown, 1);
        EXPECT_EQ(reporter.text(), u"メモリが不足しています。");
        expect_same(saving ? other : Document(),
                    saving ? reloaded_as_is() : loaded);
        continue;
      }
      EXPECT_EQ(reporter.shown, 0);
      expect_same(sample, saving ? reloaded_as_is() : loaded);
      if (!run.hit) break;
      if (saving) {
        ASSERT_TRUE(save(other));
      }
    }
  }
}

}  // namespace
}  // namespace kurvana
