// Lexer: cuts the text into runs of one character class and turns each run
// into at most one token (two for a leading sign).
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

#include "evaluator.h"

namespace eval {

namespace {

enum class CharClass : unsigned char {
  kNone,
  kDigit,
  kLetter,
  kSpace,
  kBracket,
  kOperator,
};

constexpr auto kClassTable = [] {
  struct Table {
    CharClass of[128] = {};
  } table;
  for (int c = '0'; c <= '9'; ++c) table.of[c] = CharClass::kDigit;
  table.of[static_cast<int>('.')] = CharClass::kDigit;
  for (int c = 'a'; c <= 'z'; ++c) table.of[c] = CharClass::kLetter;
  for (int c = 'A'; c <= 'Z'; ++c) table.of[c] = CharClass::kLetter;
  table.of[static_cast<int>(' ')] = CharClass::kSpace;
  table.of[static_cast<int>('(')] = CharClass::kBracket;
  table.of[static_cast<int>(')')] = CharClass::kBracket;
  for (const OperatorRecord& record : kOperatorRecords) {
    table.of[static_cast<int>(record.character)] = CharClass::kOperator;
  }
  return table;
}();

// Units are compared unsigned: every unit of 0x80 or above is of no class.
template <class Unit>
CharClass classify(Unit unit) {
  const auto value = static_cast<std::make_unsigned_t<Unit>>(unit);
  return value < 128 ? kClassTable.of[value] : CharClass::kNone;
}

constexpr double kPi = 3.141592653589793;
constexpr double kEuler = 2.718281828459045;

template <class Unit>
bool equals(const Unit* run, const char* name) {
  for (; *name; ++run, ++name) {
    if (*run != static_cast<Unit>(*name)) return false;
  }
  return *run == 0;
}

template <class Unit>
size_t length_of(const Unit* text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

// Decimal conversion with the semantics of strtol on a run that starts with
// a digit: leading digits only, saturating at the 32-bit limits.
template <class Unit>
int32_t parse_integer(const Unit* run) {
  int64_t value = 0;
  for (; *run >= '0' && *run <= '9'; ++run) {
    value = value * 10 + (*run - '0');
    if (value > std::numeric_limits<int32_t>::max()) {
      return std::numeric_limits<int32_t>::max();
    }
  }
  return static_cast<int32_t>(value);
}

// Length of the prefix that a decimal conversion uses: digits with at most
// one decimal point.
template <class Unit>
size_t decimal_prefix(const Unit* run) {
  size_t length = 0;
  bool point = false;
  for (;; ++length) {
    const Unit unit = run[length];
    if (unit == '.' && !point) {
      point = true;
    } else if (unit < '0' || unit > '9') {
      return length;
    }
  }
}

// Decimal conversion with the semantics of strtod on a digit run: the value
// of the longest usable prefix, 0 when there is none, infinity on overflow.
// Independent of the process locale.
double parse_decimal(const char* digits, size_t length) {
  double value = 0.0;
  const auto [end, status] = std::from_chars(digits, digits + length, value);
  if (status == std::errc::result_out_of_range) {
    // Out of range upward when any nonzero digit precedes the point.
    for (size_t i = 0; i < length && digits[i] != '.'; ++i) {
      if (digits[i] != '0') return std::numeric_limits<double>::infinity();
    }
    return 0.0;
  }
  return status == std::errc() ? value : 0.0;
}

// False only when memory is exhausted.
bool parse_decimal(const char* run, double* value) {
  *value = parse_decimal(run, decimal_prefix(run));
  return true;
}

bool parse_decimal(const char16_t* run, double* value) {
  const size_t length = decimal_prefix(run);
  char local[128] = {};
  char* digits = length < sizeof local
                     ? local
                     : static_cast<char*>(std::malloc(length + 1));
  if (!digits) return false;
  for (size_t i = 0; i < length; ++i) digits[i] = static_cast<char>(run[i]);
  *value = parse_decimal(digits, length);
  if (digits != local) std::free(digits);
  return true;
}

// Appends, reporting an exhausted memory as a failure without an error.
int append(TokenList& list, Token* token, EvalError** error) {
  if (token && list.append(token)) return 1;
  if (error) *error = nullptr;
  return 0;
}

template <class Unit>
int interpret_number(TokenList& list, const Unit* run, int32_t position,
                     int run_flag, EvalError** error) {
  if (run_flag != 1) {
    const int32_t value = parse_integer(run);
    if (value != std::numeric_limits<int32_t>::max() &&
        value != std::numeric_limits<int32_t>::min()) {
      return append(list, Token::MakeInteger(value, position), error);
    }
  }
  double value = 0.0;
  if (!parse_decimal(run, &value)) return append(list, nullptr, error);
  if (std::isinf(value)) return fail(error, kErrorOverflow, position);
  return append(list, Token::MakeReal(value, position), error);
}

// |first| is one of the operator characters of the table.
template <class Unit>
int interpret_operator(TokenList& list, Unit first, int32_t position,
                       EvalError** error) {
  const int32_t code = operator_by_character(static_cast<char>(first))->code;
  // A leading sign becomes a subtraction from an implicit zero.
  const Token* last = list.last();
  if ((code == OP_ADD || code == OP_SUBTRACT) &&
      (!last || last->kind == KIND_OPEN) &&
      !append(list, Token::MakeInteger(0, position), error)) {
    return 0;
  }
  return append(list, Token::MakeOperator(code, position), error);
}

template <class Unit>
int interpret_letters(TokenList& list, const Unit* run, const void* area,
                      bool integer_mode, int32_t position, EvalError** error) {
  for (const FunctionRecord& function : kFunctionRecords) {
    if (equals(run, function.name)) {
      return append(list, Token::MakeFunction(function.code, position), error);
    }
  }
  if (equals(run, "PI")) {
    return append(list, Token::MakeReal(kPi, position), error);
  }
  if (equals(run, "EU") || equals(run, "E")) {
    return append(list, Token::MakeReal(kEuler, position), error);
  }
  if (run[0] >= 'a' && run[0] <= 'z' && run[1] == 0) {
    const int slot = run[0] - 'a';
    if (integer_mode) {
      const auto* slots = static_cast<const int32_t*>(area);
      return append(
          list,
          Token::MakeIntegerVariable(slots ? slots + slot : nullptr, position),
          error);
    }
    const auto* slots = static_cast<const double*>(area);
    return append(
        list, Token::MakeRealVariable(slots ? slots + slot : nullptr, position),
        error);
  }
  return fail(error, kErrorIdentifier, position);
}

template <class Unit>
int tokenize(Evaluator& evaluator, const Unit* text, TokenList& list,
             const void* area, bool integer_mode, EvalError** error) {
  const size_t length = length_of(text);
  if (length == 0) return 1;
  auto* scratch = static_cast<Unit*>(std::malloc((length + 1) * sizeof(Unit)));
  if (!scratch) {
    if (error) *error = nullptr;
    return 0;
  }
  size_t run_start = 0;
  int run_class = kRunStart;
  int run_flag = 0;
  auto flush = [&](size_t current) {
    if (run_start >= current) return 1;
    const size_t count = current - run_start;
    std::memcpy(scratch, text + run_start, count * sizeof(Unit));
    scratch[count] = 0;
    return evaluator.InterpretRun(list, scratch, run_class, area, integer_mode,
                                  static_cast<int32_t>(run_start), run_flag,
                                  error);
  };
  auto begin_run = [&](size_t at, int new_class, int new_flag) {
    if (!flush(at)) return 0;
    run_start = at;
    run_class = new_class;
    run_flag = new_flag;
    return 1;
  };
  int ok = 1;
  for (size_t i = 0; ok && i < length; ++i) {
    const Unit unit = text[i];
    switch (classify(unit)) {
      case CharClass::kDigit:
        if (run_class != kRunNumber && !begin_run(i, kRunNumber, 0)) {
          ok = 0;
        } else if (unit == '.') {
          if (run_flag == 1) {
            ok = fail(error, kErrorDecimalPoints, static_cast<int32_t>(i));
          }
          run_flag = 1;
        }
        break;
      case CharClass::kLetter:
        if (run_class != kRunLetters) ok = begin_run(i, kRunLetters, 0);
        break;
      case CharClass::kSpace:
        ok = begin_run(i, kRunSpace, 0);
        break;
      case CharClass::kBracket:
        ok = begin_run(i, kRunBracket, unit == ')' ? 1 : 0);
        break;
      case CharClass::kOperator:
        ok = begin_run(i, kRunOperator, 0);
        break;
      case CharClass::kNone:
        break;  // joins the run in progress
    }
  }
  if (ok) ok = flush(length);
  std::free(scratch);
  return ok;
}

}  // namespace

template <class Unit>
int Evaluator::InterpretRun(TokenList& list, const Unit* run, int run_class,
                            const void* area, bool integer_mode,
                            int32_t position, int run_flag, EvalError** error) {
  switch (run_class) {
    case kRunNumber:
      return interpret_number(list, run, position, run_flag, error);
    case kRunOperator:
      return interpret_operator(list, run[0], position, error);
    case kRunLetters:
      return interpret_letters(list, run, area, integer_mode, position, error);
    case kRunBracket:
      return append(list, Token::MakeBracket(run_flag == 1, position), error);
    case kRunSpace:
      return 1;
    default:
      return fail(error, kErrorIdentifier, position);
  }
}

template int Evaluator::InterpretRun<char>(TokenList&, const char*, int,
                                           const void*, bool, int32_t, int,
                                           EvalError**);
template int Evaluator::InterpretRun<char16_t>(TokenList&, const char16_t*, int,
                                               const void*, bool, int32_t, int,
                                               EvalError**);

int Evaluator::TokenizeNarrow(const char* text, TokenList& list,
                              const void* area, bool integer_mode,
                              EvalError** error) {
  return tokenize(*this, text, list, area, integer_mode, error);
}

int Evaluator::TokenizeWide(const char16_t* text, TokenList& list,
                            const void* area, bool integer_mode,
                            EvalError** error) {
  return tokenize(*this, text, list, area, integer_mode, error);
}

}  // namespace eval
