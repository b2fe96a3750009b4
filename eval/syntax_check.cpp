// Syntax check: one walk over the tokens that rejects every order the
// postfix compiler cannot handle, with a precise code and position.
#include "evaluator.h"

namespace eval {

namespace {

// The syntax check's own vocabulary of token shapes.
bool is_operator(const Token* t) { return t->kind == KIND_OPERATOR; }
bool is_function(const Token* t) { return t->kind == KIND_FUNCTION; }
bool is_open(const Token* t) { return t->kind == KIND_OPEN; }
bool is_close(const Token* t) { return t->kind == KIND_CLOSE; }
bool is_operand(const Token* t) {
  return is_number_kind(t->kind) || is_variable_kind(t->kind);
}
bool is_high_operator(const Token* t) {
  return is_operator(t) &&
         (t->integer_value == OP_MULTIPLY || t->integer_value == OP_DIVIDE ||
          t->integer_value == OP_POWER);
}

// Start-of-text errors carry the fixed position 1.
constexpr int32_t kTextStart = 1;

int check_first(const TokenList& list, int& depth, int& vars,
                EvalError** error) {
  const uint32_t n = list.count();
  const Token* t0 = list.item(0);
  const Token* t1 = list.item(1);  // null when n is 1
  if (is_operand(t0)) {
    if (is_variable_kind(t0->kind)) vars = 1;
    if (t1 && !is_operator(t1) && !is_close(t1)) {
      return fail(error, kErrorNumberFollower, t1->position);
    }
  } else if (is_operator(t0)) {
    if (t0->integer_value != OP_ADD && t0->integer_value != OP_SUBTRACT) {
      return fail(error, kErrorOperator, kTextStart);
    }
  } else if (is_function(t0)) {
    if (n == 1) return fail(error, kErrorFunctionBracket, t0->position);
    if (!is_open(t1)) return fail(error, kErrorFunctionBracket, t1->position);
  } else if (is_open(t0)) {
    depth = 1;
    if (t1 && is_high_operator(t1)) {
      return fail(error, kErrorOperator, t1->position);
    }
    if (t1 && is_close(t1)) {
      return fail(error, kErrorEmptyBrackets, t1->position);
    }
  } else if (is_close(t0)) {
    return fail(error, kErrorBracket, kTextStart);
  }
  return 1;
}

int check_middle(const Token* p, const Token* t, const Token* q, int& depth,
                 int& vars, EvalError** error) {
  if (is_operator(t)) {
    if (is_operator(p) || is_operator(q)) {
      return fail(error, kErrorOperator, t->position);
    }
  } else if (is_function(t)) {
    if (!is_operator(p) && !is_open(p)) {
      return fail(error, kErrorInvalidValue, t->position);
    }
    if (!is_open(q)) return fail(error, kErrorFunctionBracket, q->position);
  } else if (is_open(t)) {
    ++depth;
    if (!is_operator(p) && !is_function(p) && !is_open(p)) {
      return fail(error, kErrorBracket, t->position);
    }
    if (is_high_operator(q)) return fail(error, kErrorOperator, q->position);
    if (is_close(q)) return fail(error, kErrorEmptyBrackets, t->position);
  } else if (is_close(t)) {
    if (--depth < 0) return fail(error, kErrorBracket, t->position);
    if (is_open(p)) return fail(error, kErrorEmptyBrackets, t->position);
    if (is_operator(p) || is_function(p)) {
      return fail(error, kErrorBracket, t->position);
    }
  } else if (is_operand(t)) {
    if (is_variable_kind(t->kind)) ++vars;
    if (!is_operator(p) && !is_open(p)) {
      return fail(error, kErrorInvalidValue, t->position);
    }
    if (!is_operator(q) && !is_close(q)) {
      return fail(error, kErrorInvalidValue, q->position);
    }
  } else {
    return fail(error, kErrorInvalidKind, t->position);
  }
  return 1;
}

int check_last(const TokenList& list, int& depth, int& vars,
               EvalError** error) {
  const uint32_t n = list.count();
  const Token* t = list.item(n - 1);
  const Token* p = n >= 2 ? list.item(n - 2) : nullptr;
  if (is_operator(t) || is_function(t) || is_open(t)) {
    return fail(error, kErrorLastCharacter, t->position);
  }
  if (is_close(t)) {
    if (p && (is_operator(p) || is_function(p))) {
      return fail(error, kErrorBracket, t->position);
    }
    --depth;
  } else if (is_operand(t)) {
    if (is_variable_kind(t->kind)) ++vars;
    if (p && !is_operator(p) && !is_open(p)) {
      return fail(error, kErrorInvalidValue, t->position);
    }
  }
  return 1;
}

}  // namespace

int Evaluator::CheckSyntax(const TokenList& list, bool variables_allowed,
                           EvalError** error) {
  const uint32_t n = list.count();
  if (n == 0) return fail(error, kErrorNoData, kTextStart);
  int depth = 0;
  int vars = 0;
  if (!check_first(list, depth, vars, error)) return 0;
  for (uint32_t i = 1; i + 1 < n; ++i) {
    if (!check_middle(list.item(i - 1), list.item(i), list.item(i + 1), depth,
                      vars, error)) {
      return 0;
    }
  }
  if (!check_last(list, depth, vars, error)) return 0;
  const int32_t last_position = list.item(n - 1)->position;
  if (!variables_allowed && vars > 0) {
    return fail(error, kErrorVariable, last_position);
  }
  if (depth != 0) return fail(error, kErrorBracketCount, last_position);
  return 1;
}

}  // namespace eval
