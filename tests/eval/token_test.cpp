// The token record and its two containers.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "test_support.h"

namespace {

using eval::Token;
using eval::TokenList;

TEST(TokenList, GrowsBySixteenAndKeepsOrder) {
  TokenList list;
  for (int32_t i = 0; i < 16; ++i) list.append(Token::MakeInteger(i, i));
  EXPECT_EQ(list.capacity(), 16u);
  list.append(Token::MakeInteger(16, 16));
  EXPECT_EQ(list.capacity(), 32u);
  ASSERT_EQ(list.count(), 17u);
  for (uint32_t i = 0; i < 17; ++i) {
    EXPECT_EQ(list.item(i)->integer_value, static_cast<int32_t>(i));
  }
  EXPECT_EQ(list.item(17), nullptr);
  EXPECT_EQ(list.last()->integer_value, 16);
}

TEST(TokenList, EmptyListHandsOutNothing) {
  TokenList list;
  EXPECT_EQ(list.item(0), nullptr);
  EXPECT_EQ(list.pop(), nullptr);
  EXPECT_EQ(list.last(), nullptr);
  list.append(Token::MakeInteger(1, 0));
  std::unique_ptr<Token> popped(list.pop());  // ownership passes over
  ASSERT_NE(popped, nullptr);
  EXPECT_EQ(popped->integer_value, 1);
  EXPECT_EQ(list.pop(), nullptr);
  EXPECT_EQ(list.last(), nullptr);
}

// After take_all the source holds nothing: destroying it must leave the
// moved tokens alive (a sanitizer build catches a use after free).
TEST(TokenList, TakeAllMovesTokensInOrder) {
  TokenList source;
  TokenList target;
  target.append(Token::MakeInteger(1, 0));
  for (int32_t i = 2; i <= 20; ++i) source.append(Token::MakeInteger(i, 0));
  EXPECT_EQ(target.take_all(source), 20u);
  EXPECT_EQ(source.count(), 0u);
  EXPECT_EQ(source.item(0), nullptr);
  source.destroy();
  for (uint32_t i = 0; i < 20; ++i) {
    EXPECT_EQ(target.item(i)->integer_value, static_cast<int32_t>(i + 1));
  }
}

TEST(ValueStack, PopOnEmptyYieldsZeroAndStaysEmpty) {
  eval::ValueStack<double> reals;
  EXPECT_EQ(reals.pop(), 0.0);
  EXPECT_EQ(reals.count(), 0u);
  eval::ValueStack<int64_t> integers;
  for (int64_t i = 0; i < 17; ++i) integers.push(i << 32 | i);
  EXPECT_EQ(integers.capacity(), 32u);
  for (int64_t i = 16; i >= 0; --i) EXPECT_EQ(integers.pop(), i << 32 | i);
  EXPECT_EQ(integers.pop(), 0);
  EXPECT_EQ(integers.count(), 0u);
}

// A real constant's integer field holds the low 32 bits of its truncation.
TEST(Token, RealConstantTruncatesTowardZero) {
  // clang-format off
  const struct {
    double value;
    int32_t truncated;
  } rows[] = {
      {-2.7, -2}, {2.7, 2}, {5e9, 705032704}, {2147483648.0, INT32_MIN}};
  // clang-format on
  for (const auto& row : rows) {
    std::unique_ptr<Token> real(Token::MakeReal(row.value, 0));
    EXPECT_EQ(real->integer_value, row.truncated) << row.value;
  }
}

TEST(Token, CopyKeepsEveryFieldAndTheValuePointer) {
  double slot = 1.5;
  std::unique_ptr<Token> real(Token::MakeReal(2.5, 4));
  std::unique_ptr<Token> variable(Token::MakeRealVariable(&slot, 6));
  for (const Token* source : {real.get(), variable.get()}) {
    std::unique_ptr<Token> copy(source->Copy());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->kind, source->kind);
    EXPECT_EQ(copy->real_value, source->real_value);
    EXPECT_EQ(copy->integer_value, source->integer_value);
    EXPECT_EQ(copy->position, source->position);
    EXPECT_EQ(copy->priority, source->priority);
    EXPECT_EQ(copy->value_pointer, source->value_pointer);
  }
}

// The integer parse saturates at the 32-bit limits, and a saturated value is
// read again as a real, whatever the width of the platform's long.
TEST(Token, DigitRunsAtTheIntegerLimits) {
  const struct {
    const char* text;
    uint32_t kind;
    double value;
  } rows[] = {{"2147483646", eval::KIND_INTEGER, 2147483646.0},
              {"2147483647", eval::KIND_REAL, 2147483647.0},
              {"2147483648", eval::KIND_REAL, 2147483648.0},
              {"4294967297", eval::KIND_REAL, 4294967297.0},
              {"9223372036854775808", eval::KIND_REAL, 9223372036854775808.0}};
  for (const auto& row : rows) {
    for (evaltest::Width width : evaltest::kWidths) {
      for (bool integer_mode : {false, true}) {
        SCOPED_TRACE(evaltest::Trace(row.text, width) +
                     (integer_mode ? " integer mode" : ""));
        TokenList list;
        ASSERT_EQ(
            evaltest::Tokenize(width, row.text, list, nullptr, integer_mode),
            1);
        ASSERT_EQ(list.count(), 1u);
        EXPECT_EQ(list.item(0)->kind, row.kind);
        EXPECT_EQ(list.item(0)->real_value, row.value);
      }
    }
  }
}

}  // namespace
