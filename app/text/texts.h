// Every text the program shows, in UTF-16 (on Windows wchar_t has the same
// units, so the shell hands these to the W calls as they are).  Named by
// what they say; the eval library keeps its own error table.
#pragma once

namespace kurvana::text {

// The program.
inline constexpr char16_t kApplicationName[] = u"Kurvana";
inline constexpr char16_t kAboutText[] = u"Kurvana Version 1.0.0000";
inline constexpr char16_t kAboutCaption[] = u"Kurvana のバージョン情報";
inline constexpr char16_t kDocumentTypeName[] = u"Kurvana 定義ファイル";
// A metafile's description: the program's name and an empty picture name.
inline constexpr char16_t kMetafileDescription[] = u"Kurvana\0";
// The main window's title: the program's name and the file name.
inline constexpr char16_t kTitleFormat[] = u"%s - [%s]";
inline constexpr char16_t kUntitled[] = u"無題";

// Start-up and the system.
inline constexpr char16_t kOutOfMemory[] = u"メモリが不足しています。";
inline constexpr char16_t kCannotRegisterClasses[] =
    u"ウィンドウクラスを登録できません。";
inline constexpr char16_t kCannotCreateWindow[] =
    u"ウィンドウを作成できません。";
inline constexpr char16_t kCannotCreateGraphArea[] =
    u"描画領域を作成できません。";
inline constexpr char16_t kCannotLoadAccelerators[] =
    u"アクセラレータテーブルを取得できません。";
inline constexpr char16_t kCannotOpenRegistry[] = u"レジストリを開けません。";
inline constexpr char16_t kCannotWriteRegistry[] =
    u"レジストリに書き込めません。";
inline constexpr char16_t kCannotGetModuleName[] =
    u"モジュール名を取得できません。";

// Documents and files.
inline constexpr char16_t kSaveChanges[] = u"変更されています。保存しますか。";
inline constexpr char16_t kCannotGetDroppedName[] =
    u"ドロップされたファイル名を取得できません。";
inline constexpr char16_t kCannotOpenFile[] = u"ファイルを開けません。";
inline constexpr char16_t kCannotReadFile[] = u"ファイルを読み取れません。";
inline constexpr char16_t kNotADocument[] = u"ファイルが不正です。";
inline constexpr char16_t kNewerVersion[] = u"新しいバージョンのファイルです。";
inline constexpr char16_t kUnicodeToAnsiFailed[] =
    u"Unicode → Ansi 変換でエラーが発生しました。";
inline constexpr char16_t kCannotWriteFile[] = u"ファイルに書き込めません。";
inline constexpr char16_t kAnsiToUnicodeFailed[] =
    u"Ansi → Unicode 変換でエラーが発生しました。";
// Filled with the most functions a document holds.
inline constexpr char16_t kTooManyFunctions[] =
    u"関数定義が%sを超えました。一部を破棄します。";
// Pairs of display text and pattern, double-null terminated.
inline constexpr char16_t kFileFilter[] =
    u"グラフファイル(*.kvn)\0*.kvn\0すべてファイル(*.*)\0*.*\0";
inline constexpr char16_t kOpenTitle[] = u"ファイルを開く";
inline constexpr char16_t kSaveAsTitle[] = u"名前を付けて保存";

// Sampling.
inline constexpr char16_t kInvalidDomain[] = u"定義域が不正です。";
inline constexpr char16_t kUnsupportedKind[] =
    u"不正な形式の関数が指定されました。";
inline constexpr char16_t kCompileFailed[] = u"コンパイルに失敗しました。";

// The toolbar's labels.
inline constexpr char16_t kToolNew[] = u"新規";
inline constexpr char16_t kToolOpen[] = u"開く";
inline constexpr char16_t kToolSave[] = u"上書き";
inline constexpr char16_t kToolFunctions[] = u"関数";
inline constexpr char16_t kToolGraph[] = u"グラフ";

// The function definition dialog.
inline constexpr char16_t kLabelFofX[] = u"f(x)=";
inline constexpr char16_t kLabelFofT[] = u"f(t)=";
inline constexpr char16_t kLabelFofXY[] = u"f(x, y)=";
inline constexpr char16_t kBetweenX[] = u"≦ x ≦";
inline constexpr char16_t kBetweenT[] = u"≦ t ≦";
inline constexpr char16_t kDensityCoarse[] = u"1:粗い";
inline constexpr char16_t kDensityFairlyCoarse[] = u"2:やや粗い";
inline constexpr char16_t kDensityNormal[] = u"3:普通";
inline constexpr char16_t kDensityFairlyFine[] = u"4:やや細かい";
inline constexpr char16_t kDensityFine[] = u"5:細かい";
inline constexpr char16_t kDensityVeryFine[] = u"6:非常に細かい";
inline constexpr char16_t kDomainOrderInvalid[] = u"定義域の指定が不正です。";
inline constexpr char16_t kChooseDensity[] = u"描画密度を指定してください。";
inline constexpr char16_t kDomainOutOfLimit[] =
    u"定義域は -9999～9999 の範囲で指定してください。";
// When the library has no error to tell for an expression it refuses.
inline constexpr char16_t kNoErrorInformation[] =
    u"エラー情報を取得できません。";

// The function list dialog: its lines (filled with the visibility mark and
// the expression texts) and its refusals.
inline constexpr char16_t kVisibleMark[] = u"■";
inline constexpr char16_t kHiddenMark[] = u"□";
inline constexpr char16_t kLineExplicit[] = u"%s y = %s";
inline constexpr char16_t kLineParametric[] = u"%s x = %s, y = %s";
inline constexpr char16_t kLinePolar[] = u"%s r = %s";
inline constexpr char16_t kLineImplicit[] = u"%s %s = 0";
inline constexpr char16_t kLineUnknownKind[] = u"(不正な型の関数です)";
inline constexpr char16_t kListFull[] = u"これ以上追加できません。";
inline constexpr char16_t kSelectLine[] = u"リストを選択してください。";
inline constexpr char16_t kSelectToEdit[] = u"更新する関数を選択してください。";
inline constexpr char16_t kSelectToRemove[] =
    u"削除する関数を選択してください。";

// The graph settings dialog.
inline constexpr char16_t kXRangeInvalid[] = u"X の定義域が不正です。";
inline constexpr char16_t kYRangeInvalid[] = u"Y の定義域が不正です。";
inline constexpr char16_t kChooseZoom[] = u"倍率を選択してください。";
inline constexpr char16_t kChooseAxisWidth[] = u"軸の太さ選択してください。";
inline constexpr char16_t kChooseGraphWidth[] =
    u"グラフの太さ選択してください。";

}  // namespace kurvana::text
