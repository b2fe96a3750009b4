#include "error.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace eval {

namespace {

// Indexed by ErrorId.  The narrow texts are the Shift-JIS encoding of the
// wide ones, spelled as bytes so that no code page is involved.
constexpr ErrorText kErrorTexts[kErrorCount] = {
    {2,  // kErrorDecimalPoints
     "\x8F\xAC\x90\x94\x93_"
     "\x82\xCC\x90\x94\x82\xAA\x91\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7\x81"
     "B",
     u"小数点の数が多すぎます。"},
    {3,  // kErrorIntegerKind
     "\x95s\x90\xB3\x82\xC8\x8E\xED\x97\xDE\x82\xCC\x83"
     "f\x81[\x83^\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7\x81"
     "B",
     u"不正な種類のデータがあります。"},
    {4,  // kErrorInvalidValue
     "\x95s\x90\xB3\x82\xC8\x92l\x82\xC5\x82\xB7\x81"
     "B",
     u"不正な値です。"},
    {4,  // kErrorInvalidKind
     "\x95s\x90\xB3\x82\xC8\x8E\xED\x97\xDE\x82\xCC\x83"
     "f\x81[\x83^\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7\x81"
     "B",
     u"不正な種類のデータがあります。"},
    {5,  // kErrorNoData
     "\x83"
     "f\x81[\x83^\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
     "B",
     u"データがありません。"},
    {6,  // kErrorBracket
     "\x95s\x90\xB3\x82\xC8\x8A\x87\x8C\xCA\x82\xC5\x82\xB7\x81"
     "B",
     u"不正な括弧です。"},
    {7,  // kErrorOperator
     "\x89\x89\x8EZ\x8Eq\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7\x81"
     "B",
     u"演算子が不正です。"},
    {9,  // kErrorFunctionBracket
     "\x8A\xD6\x90\x94\x82\xCC\x8C\xE3\x82\xC9\x8A\x87\x8C\xCA\x82\xAA\x95K\x97"
     "v\x82\xC5\x82\xB7\x81"
     "B",
     u"関数の後に括弧が必要です。"},
    {10,  // kErrorEmptyBrackets
     "\x96\xB3\x88\xD3\x96\xA1\x82\xC8\x8A\x87\x8C\xCA\x82\xC5\x82\xB7\x81"
     "B",
     u"無意味な括弧です。"},
    {11,  // kErrorLastCharacter
     "\x95s\x90\xB3\x82\xC8\x8D\xC5\x8FI\x95\xB6\x8E\x9A\x82\xC5\x82\xB7\x81"
     "B",
     u"不正な最終文字です。"},
    {12,  // kErrorBracketCount
     "\x8A\x87\x8C\xCA\x82\xCC\x90\x94\x82\xAA\x8D\x87\x82\xA2\x82\xDC\x82\xB9"
     "\x82\xF1\x81"
     "B",
     u"括弧の数が合いません。"},
    {13,  // kErrorVariable
     "\x95\xCF\x90\x94\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82"
     "\xF1\x81"
     "B",
     u"変数は使用できません。"},
    {14,  // kErrorNoExpression
     "\x8E\xAE\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
     "B",
     u"式がありません。"},
    {15,  // kErrorDivideByZero
     "0\x82\xC5\x8F\x9C\x8EZ\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
     "B",
     u"0で除算しました。"},
    {16,  // kErrorLogDomain
     "log 0 \x82\xCD\x92\xE8\x8B`\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81"
     "B",
     u"log 0 は定義できません。"},
    {17,  // kErrorCompiled
     "\x8A\xF9\x82\xC9\x83R\x83\x93\x83p\x83"
     "C\x83\x8B\x8D\xCF\x82\xDD\x82\xC5\x82\xB7\x81"
     "B",
     u"既にコンパイル済みです。"},
    {19,  // kErrorNotCompiled
     "\x83R\x83\x93\x83p\x83"
     "C\x83\x8B\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81"
     "B",
     u"コンパイルされていません。"},
    {20,  // kErrorOverflow
     "\x83I\x81[\x83o\x81[\x83t\x83\x8D\x81["
     "\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
     "B",
     u"オーバーフローしました。"},
    {21,  // kErrorIdentifier
     "\x8E\xAF\x95\xCA\x8Eq\x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7\x81"
     "B",
     u"識別子が不正です。"},
    {22,  // kErrorNumberFollower
     "\x90\x94\x92l\x82\xCC\x8E\x9F\x82\xCD\x89\x89\x8EZ\x8Eq\x82\xA9\x8A\x87"
     "\x8C\xCA\x95\xC2\x82\xB6\x82\xAA\x95K\x97v\x82\xC5\x82\xB7\x81"
     "B",
     u"数値の次は演算子か括弧閉じが必要です。"},
    {23,  // kErrorDomain
     "\x92\xE8\x8B`"
     "\x88\xE6\x8AO\x82\xCC\x92l\x82\xF0\x8Ew\x92\xE8\x82\xB5\x82\xDC\x82\xB5"
     "\x82\xBD\x81"
     "B",
     u"定義域外の値を指定しました。"},
    {24,  // kErrorNotInteger
     "\x90\xAE\x90\x94\x82\xC5\x89\x89\x8EZ\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x8E"
     "\xAE\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81"
     "B",
     u"整数で演算できない式が含まれています。"},
    {24,  // kErrorNotIntegerFunction
     "\x90\xAE\x90\x94\x82\xC5\x89\x89\x8EZ\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x8E"
     "\xAE\x82\xAA\x8A\xDC\x82\xDC\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81"
     "BF",
     u"整数で演算できない式が含まれています。F"},
};

template <class Unit>
Unit* duplicate(const Unit* text) {
  size_t length = 0;
  while (text[length]) ++length;
  auto* copy = static_cast<Unit*>(std::malloc((length + 1) * sizeof(Unit)));
  if (copy) std::memcpy(copy, text, (length + 1) * sizeof(Unit));
  return copy;
}

}  // namespace

const ErrorText& error_text(ErrorId id) { return kErrorTexts[id]; }

EvalError::~EvalError() {
  std::free(wide_);
  std::free(narrow_);
}

EvalError* EvalError::Make(int32_t code, int32_t position, const char* narrow,
                           const char16_t* wide) {
  EvalError* error = new (std::nothrow) EvalError;
  if (!error) return nullptr;
  error->code = code;
  error->position = position;
  error->narrow_ = duplicate(narrow);
  error->wide_ = duplicate(wide);
  return error;
}

EvalError* EvalError::Make(ErrorId id, int32_t position) {
  const ErrorText& text = kErrorTexts[id];
  return Make(text.code, position, text.narrow, text.wide);
}

int fail(EvalError** slot, ErrorId id, int32_t position) {
  if (slot) *slot = EvalError::Make(id, position);
  return 0;
}

void replace_error(EvalError** slot, EvalError* error) {
  delete *slot;
  *slot = error;
}

}  // namespace eval
