// Postfix compiler: reorders copies of the infix tokens by priority and
// brackets.  Bracket levels live on an explicit stack instead of the machine
// stack, so any nesting depth converts; all levels share one operator stack,
// each owning the part above its base.
#include <cstdlib>

#include "evaluator.h"

namespace eval {

namespace {

class Conversion {
 public:
  Conversion(TokenList& program, const TokenList& infix)
      : program_(program), infix_(infix), n_(infix.count()) {}
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;
  ~Conversion() { std::free(bases_); }

  uint32_t run(uint32_t start);

 private:
  bool open_level();
  // Ends the innermost level with |result|: false when the conversion is
  // over (its outcome in result_), true when the enclosing level goes on at
  // index_.
  bool end_level(uint32_t result);
  bool flush();
  bool emit_while_at_least(int32_t priority);
  void drop_pending();
  uint32_t base() const { return bases_[levels_ - 1]; }

  TokenList& program_;
  const TokenList& infix_;
  const uint32_t n_;
  TokenList operators_;
  uint32_t* bases_ = nullptr;
  uint32_t levels_ = 0;
  uint32_t capacity_ = 0;
  uint32_t index_ = 0;
  uint32_t result_ = 0;
};

bool Conversion::open_level() {
  if (levels_ == capacity_) {
    const uint32_t capacity = grown_capacity(capacity_);
    auto* bases = static_cast<uint32_t*>(
        std::realloc(bases_, capacity * sizeof(uint32_t)));
    if (!bases) return false;
    bases_ = bases;
    capacity_ = capacity;
  }
  bases_[levels_++] = operators_.count();
  return true;
}

bool Conversion::flush() {
  while (operators_.count() > base()) {
    if (!program_.append(operators_.pop())) return false;
  }
  return true;
}

bool Conversion::emit_while_at_least(int32_t priority) {
  while (operators_.count() > base() &&
         operators_.last()->priority >= priority) {
    if (!program_.append(operators_.pop())) return false;
  }
  return true;
}

void Conversion::drop_pending() {
  while (operators_.count() > base()) delete operators_.pop();
}

bool Conversion::end_level(uint32_t result) {
  for (;;) {
    --levels_;
    if (levels_ == 0) {
      result_ = result;
      return false;
    }
    if (result <= 1) {  // a nested level that ran off the end
      result_ = 0;
      return false;
    }
    const uint32_t close = result - 1;
    if (close < n_ - 1) {
      index_ = close + 1;
      return true;
    }
    if (!flush()) {
      result_ = 0;
      return false;
    }
    result = close + 1;
  }
}

uint32_t Conversion::run(uint32_t start) {
  if (!open_level()) return 0;
  index_ = start;
  for (;;) {
    if (index_ >= n_) {
      drop_pending();
      if (!end_level(1)) return result_;
      continue;
    }
    const Token* token = infix_.item(index_);
    switch (token->kind) {
      case KIND_INTEGER:
      case KIND_REAL:
      case KIND_INTEGER_VARIABLE:
      case KIND_REAL_VARIABLE: {
        Token* copy = token->Copy();
        if (!copy || !program_.append(copy)) return 0;
        if (index_ >= n_ - 1) {
          if (!flush()) return 0;
          if (!end_level(index_ + 1)) return result_;
          continue;
        }
        ++index_;
        break;
      }
      case KIND_OPERATOR:
      case KIND_FUNCTION: {
        if (!emit_while_at_least(token->priority)) return 0;
        Token* copy = token->Copy();
        if (!copy || !operators_.append(copy)) return 0;
        ++index_;
        break;
      }
      case KIND_OPEN:
        if (!open_level()) return 0;
        ++index_;
        break;
      case KIND_CLOSE:
        if (!flush()) return 0;
        if (!end_level(index_ + 1)) return result_;
        continue;
      default:
        return 0;
    }
  }
}

}  // namespace

// Returns 0 for failure; otherwise the index after the last consumed token,
// or 1 when the walk ran off the end of the list without ending the level.
uint32_t Evaluator::ConvertToPostfix(TokenList& program, const TokenList& infix,
                                     uint32_t start) {
  Conversion conversion(program, infix);
  return conversion.run(start);
}

}  // namespace eval
