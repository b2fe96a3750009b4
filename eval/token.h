// The token record shared by every stage, and its two containers.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "operations.h"

namespace eval {

enum TokenKind : uint32_t {
  KIND_INTEGER = 1,
  KIND_REAL = 2,
  KIND_OPERATOR = 4,
  KIND_FUNCTION = 8,
  KIND_OPEN = 16,
  KIND_CLOSE = 32,
  KIND_INTEGER_VARIABLE = 0x1001,
  KIND_REAL_VARIABLE = 0x1002,
};

// The evaluators recognise a variable by this bit; the checks by the range.
constexpr uint32_t kVariableKindBit = 0x1000;

// The operator and function codes come from the table in operations.h.
constexpr int32_t kFunctionPriority = 80;
constexpr int32_t kBracketPriority = 100;

// The priority of the operator with |code|; 1 for a code of no operator.
int32_t operator_priority(int32_t code);

inline bool is_variable_kind(uint32_t kind) {
  return kind >= 0x1000 && kind <= 0x1002;
}
inline bool is_number_kind(uint32_t kind) {
  return kind == KIND_INTEGER || kind == KIND_REAL;
}

// One lexical element.  Every maker returns null when memory is exhausted.
class Token {
 public:
  virtual ~Token() = default;

  static Token* MakeInteger(int32_t value, int32_t position);
  static Token* MakeReal(double value, int32_t position);
  static Token* MakeRealVariable(const double* slot, int32_t position);
  static Token* MakeIntegerVariable(const int32_t* slot, int32_t position);
  static Token* MakeFunction(int32_t code, int32_t position);
  static Token* MakeOperator(int32_t code, int32_t position);
  static Token* MakeBracket(bool closing, int32_t position);
  Token* Copy() const;

  int32_t priority = 0;
  int32_t position = 0;
  const void* value_pointer = nullptr;
  int32_t integer_value = 0;
  double real_value = 0.0;
  uint32_t kind = 0;
};

// Capacity after growing a full container of |count| elements: 16 more
// slots, or half as many again once the container is large, so that huge
// texts do not take quadratic time.  Always a multiple of 16.
inline uint32_t grown_capacity(uint32_t count) {
  constexpr uint32_t kLinearLimit = 1024;
  return count < kLinearLimit ? count + 16 : count + ((count / 2 + 15) & ~15u);
}

// Growable array of owned token pointers (see grown_capacity).
class TokenList {
 public:
  TokenList() = default;
  TokenList(const TokenList&) = delete;
  TokenList& operator=(const TokenList&) = delete;
  virtual ~TokenList() { destroy(); }

  // Takes ownership.  When the slot array cannot grow the token is destroyed
  // and false returned, so nothing is ever stored past the array.
  bool append(Token* token);
  Token* item(uint32_t index) const {
    return index < count_ ? items_[index] : nullptr;
  }
  uint32_t count() const { return count_; }
  uint32_t capacity() const { return capacity_; }
  Token* pop() { return count_ ? items_[--count_] : nullptr; }
  Token* last() const { return count_ ? items_[count_ - 1] : nullptr; }
  void forget() { count_ = 0; }
  // Moves every token of |other| to the end of this list; returns the count.
  uint32_t take_all(TokenList& other);
  // Destroys every token and releases the slot array.
  void destroy();

 private:
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
  Token** items_ = nullptr;
};

// Growable stack of 8-byte values; a pop of the empty stack yields zero.
template <class T>
class ValueStack {
  static_assert(sizeof(T) == 8, "value stack elements are 8 bytes");

 public:
  ValueStack() = default;
  ValueStack(const ValueStack&) = delete;
  ValueStack& operator=(const ValueStack&) = delete;
  ~ValueStack() { release(); }

  // A push whose growth fails leaves the stack as it was and marks it
  // lost: the evaluation must then fail, not go on with a wrong value.
  void push(T value) {
    if (count_ == capacity_ && !grow()) {
      lost_ = true;
      return;
    }
    items_[count_++] = value;
  }
  bool lost() const { return lost_; }
  T pop() { return count_ ? items_[--count_] : T{}; }
  uint32_t count() const { return count_; }
  uint32_t capacity() const { return capacity_; }
  void release() {
    std::free(items_);
    items_ = nullptr;
    capacity_ = count_ = 0;
  }

 private:
  bool grow() {
    const uint32_t capacity = grown_capacity(count_);
    T* items = static_cast<T*>(std::malloc(sizeof(T) * capacity));
    if (!items) return false;
    if (count_) std::memcpy(items, items_, sizeof(T) * count_);
    std::free(items_);
    items_ = items;
    capacity_ = capacity;
    return true;
  }

  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
  T* items_ = nullptr;
  bool lost_ = false;
};

}  // namespace eval
