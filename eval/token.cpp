#include "token.h"

#include <cmath>
#include <new>

#include "numeric.h"

namespace eval {

int32_t operator_priority(int32_t code) {
  const OperatorRecord* record = operator_by_code(code);
  return record ? record->priority : 1;
}

namespace {

Token* make(uint32_t kind, int32_t position) {
  Token* token = new (std::nothrow) Token;
  if (token) {
    token->kind = kind;
    token->position = position;
  }
  return token;
}

}  // namespace

Token* Token::MakeInteger(int32_t value, int32_t position) {
  Token* token = make(KIND_INTEGER, position);
  if (token) {
    token->integer_value = value;
    token->real_value = value;
    token->value_pointer = &token->integer_value;
  }
  return token;
}

Token* Token::MakeReal(double value, int32_t position) {
  Token* token = make(KIND_REAL, position);
  if (token) {
    token->real_value = value;
    token->integer_value =
        static_cast<int32_t>(static_cast<uint32_t>(truncate_to_int64(value)));
    token->value_pointer = &token->real_value;
  }
  return token;
}

Token* Token::MakeRealVariable(const double* slot, int32_t position) {
  Token* token = make(KIND_REAL_VARIABLE, position);
  if (token) token->value_pointer = slot;
  return token;
}

Token* Token::MakeIntegerVariable(const int32_t* slot, int32_t position) {
  Token* token = make(KIND_INTEGER_VARIABLE, position);
  if (token) token->value_pointer = slot;
  return token;
}

Token* Token::MakeFunction(int32_t code, int32_t position) {
  Token* token = make(KIND_FUNCTION, position);
  if (token) {
    token->priority = kFunctionPriority;
    token->integer_value = code;
  }
  return token;
}

Token* Token::MakeOperator(int32_t code, int32_t position) {
  Token* token = make(KIND_OPERATOR, position);
  if (token) {
    token->priority = operator_priority(code);
    token->integer_value = code;
  }
  return token;
}

Token* Token::MakeBracket(bool closing, int32_t position) {
  Token* token = make(closing ? KIND_CLOSE : KIND_OPEN, position);
  if (token) token->priority = kBracketPriority;
  return token;
}

Token* Token::Copy() const {
  Token* copy = new (std::nothrow) Token;
  if (copy) {
    copy->priority = priority;
    copy->position = position;
    copy->value_pointer = value_pointer;
    copy->integer_value = integer_value;
    copy->real_value = real_value;
    copy->kind = kind;
  }
  return copy;
}

bool TokenList::append(Token* token) {
  if (count_ == capacity_) {
    const uint32_t capacity = grown_capacity(count_);
    auto** items = static_cast<Token**>(std::malloc(sizeof(Token*) * capacity));
    if (!items) {
      delete token;
      return false;
    }
    if (count_) std::memcpy(items, items_, sizeof(Token*) * count_);
    std::free(items_);
    items_ = items;
    capacity_ = capacity;
  }
  items_[count_++] = token;
  return true;
}

uint32_t TokenList::take_all(TokenList& other) {
  for (uint32_t i = 0; i < other.count_; ++i) append(other.items_[i]);
  other.forget();
  return count_;
}

void TokenList::destroy() {
  for (uint32_t i = 0; i < count_; ++i) delete items_[i];
  std::free(items_);
  items_ = nullptr;
  capacity_ = count_ = 0;
}

}  // namespace eval
