#include "SErrorRegistry.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>
#include <shared_mutex>

namespace ulib {

namespace {

// Longest identifier or message the registry copies; a longer text is kept as empty.
constexpr std::size_t MaxTextLength = 65536;

// The list and its lock. Never destroyed: definitions owned by other units may unregister, and
// late code may look values up, while static objects are being torn down at exit.
struct Registry
{
    std::shared_mutex lock;
    std::vector<SErrorDefinition*> list;
};

Registry& TheRegistry()
{
    static Registry* const registry = new Registry;
    return *registry;
}

std::string CopyText(const char* text)
{
    if (!text)
        return {};
    const std::size_t length = strnlen(text, MaxTextLength + 1);
    return length > MaxTextLength ? std::string() : std::string(text, length);
}

struct CoreEntry
{
    const char* identifier;
    const char* message;
};

// The core table, in registration order. The order fixes every value below it.
constexpr CoreEntry CoreTable[] = {
    {"error", "エラーが発生しました。"},
    {"error", "エラー1が発生しました。"},
    {"error", "エラー2が発生しました。"},
    {"error", "エラー3が発生しました。"},
    {"error", "エラー4が発生しました。"},
    {"error", "エラー5が発生しました。"},
    {"fatal", "致命的なエラーが発生しました。"},
    {"environment", "動作環境に関するエラーが発生しました。"},
    {"abort", "ユーザーにより、操作が中止されました。"},
    {"cancel", "操作がキャンセルされました。"},
    {"undef", "未定義のエラーが発生しました。"},
    {"eof", "ファイルの終わりに達しました。"},
    {"end_of_array", "配列の終わりに達しました。"},
    {"internal", "プログラムの内部エラーです。"},
    {"domain", "関数の定義域エラーです。"},
    {"range", "値が範囲外です。"},
    {"pointer", "ポインタ関係のエラーです。"},
    {"overflow", "オーバーフローが発生しました。"},
    {"arg_list", "関数の引数リストに誤りがあります。"},
    {"generic", "一般的なエラーが発生しました。"},
    {"null_pointer", "関数にヌルポインタが渡されるエラーが発生しました。"},
    {"memory", "メモリ関係のエラーが発生しました。"},
    {"memory_alloc", "メモリの確保に失敗しました。"},
    {"memory_release", "メモリの解放に失敗しました。"},
    {"memory_temp", "一時作業用のメモリが足りず、作業を中断しました。"},
    {"memory_insuf", "メモリが足りません。"},
    {"io", "入出力関係のエラーが発生しました。"},
    {"read_write", "読み書きの途中でエラーが発生しました。"},
    {"too_large_data", "データが大きすぎます。"},
    {"file", "ファイル関係のエラーが発生しました。"},
    {"drive", "ドライブ関係のエラーが発生しました。"},
    {"file_not_found", "ファイルが見つかりませんでした。"},
    {"path_not_found", "パスが見つかりませんでした。"},
    {"drive_not_found", "ドライブが見つかりませんでした。"},
    {"file_open", "ファイルが開けませんでした。"},
    {"file_exist", "ファイルが既に存在します。"},
    {"file_close", "ファイルの解放に失敗しました。"},
    {"file_encode", "ファイルのエンコードに失敗しました。"},
    {"file_decode", "ファイルのデコードに失敗しました。"},
    {"bad_format", "不正なファイルだったので読み込めませんでした。"},
    {"data_invalidformat", "データの形式が不正です。"},
    {"data_invalidversion", "対応していないバージョンのデータです。"},
    {"data_broken", "データが壊れています。"},
    {"data_unacceptable", "受け付けられないデータです。"},
    {"wrong_format", "別の形式のファイルなので読み込めませんでした。"},
    {"empty_file", "空のファイルを読み込もうとしました。"},
    {"file_version", "対応していないバージョンのファイルなので読み込めませんでした。"},
    {"file_share", "ファイルが他のプログラムで使用されています。"},
    {"file_resize", "ファイルのサイズ変更ができませんでした。"},
    {"file_access", "ファイルにアクセスできませんでした。"},
    {"path_access", "パスにアクセスできませんでした。"},
    {"too_many_files", "開いているファイルが多すぎます。"},
    {"too_many_resource", "使用中のリソースが多すぎます。"},
    {"disk_space", "ディスクの空き容量が足りません。"},
    {"disk_protect", "ディスクが書き込み禁止になっています。"},
    {"disk_insert", "ディスクが挿入されていません。"},
    {"wrong_disk", "ディスクが違います。"},
    {"access", "アクセスが拒否されました。"},
    {"file_halfway", "ファイルが途中で終わっています。"},
    {"handle", "ハンドルが不正です。"},
    {"dc", "デバイスコンテキストに関するエラーが発生しました。"},
    {"device", "デバイス関係のエラーが発生しました。"},
    {"device_command", "デバイスへのコマンドが失敗しました。"},
    {"device_not_found", "デバイスが見つかりませんでした。"},
    {"registry", "レジストリ関係のエラーが発生しました。"},
    {"codec_not_found", "コーデックが見つかりませんでした。"},
    {"printer", "プリンタ関係のエラーが発生しました。"},
    {"paper", "用紙関係のエラーが発生しました。"},
    {"string_too_long", "文字列が長すぎます。"},
    {"array_size", "配列変数のサイズが大きすぎるか小さすぎます。"},
    {"object_alloc", "オブジェクトの作成に失敗しました。"},
    {"object_release", "オブジェクトの解放に失敗しました。"},
    {"library_not_found", "ライブラリが見つかりませんでした。"},
    {"data", "データが不正です。"},
    {"crc", "CRCが一致しません。データが壊れています。"},
    {"clipboard", "クリップボード関係のエラーが発生しました。"},
    {"clipboard_invalid", "クリップボードの内容が不正です。"},
    {"object_locked", "オブジェクトがロックされています。"},
    {"object_disabled", "オブジェクトが無効です。"},
    {"object_silent", "オブジェクトが休眠状態です。"},
    {"object_resize", "オブジェクトのサイズ変更に失敗しました。"},
    {"array_access", "配列の範囲外のインデックスにアクセスしました。"},
    {"help", "ヘルプが表示できませんでした。"},
    {"multimedia", "マルチメディア関係のエラーが発生しました。"},
    {"media_deviceopen", "メディアデバイスが開けませんでした。"},
    {"nodata", "データがありません。"},
    {"data_empty", "データが空です。"},
    {"taillostdata", "データが途中で終わっています。"},
    {"insuf_buf", "バッファが足りません。"},
    {"buf_overflow", "作業用バッファがあふれたため、処理を中断しました。"},
    {"not_ready", "準備ができていません。"},
    {"plugin", "拡張プラグインの中でエラーが発生しました。"},
    {"ole", "OLEコンポーネントに関するエラーが発生しました。"},
    {"ole", "OLEコンポーネントの初期化ができませんでした。"},
    {nullptr, nullptr},  // reserved values
    {nullptr, nullptr},
    {"InvalidArgument", "プログラム内の関数に、誤った引数が渡されました。開発者にご連絡ください。"},
    {"Workspace", "一時作業用のメモリが足りないため、作業を中断しました。"},
    {"EmptyData", "データが含まれていません。"},
    {"UnacceptableFormat", "この形式のデータには対応していないので、読み込むことができません。"},
    {"UnacceptableVersion", "対応していないバージョンのデータなので、読み込むことができません。"},
    {"InvalidData", "データが壊れているか、または誤りがあるため、読み込むことができません。"},
    {"InvalidFileName", "ファイル名に誤りがあります。"},
    {"filename_invalid", "ファイル名が無効です。"},
};
static_assert(std::size(CoreTable) == 104);

// The standard definitions: the core table, then those of the units that raise them through the
// object, in the order that fixes their values. Never destroyed, like the registry.
struct StandardDefinitions
{
    SErrorDefinition core[std::size(CoreTable)];
    SErrorDefinition fileDialog;
    SErrorDefinition pluginNotDefined, pluginNotFound, pluginInvalid, pluginException, unexpected;
    SErrorDefinition invalidPointer;
    SErrorDefinition pngError, pngError2;
    SErrorDefinition jpegError;
    SErrorDefinition fileNotRegular, gengaOverwrite;
    SErrorDefinition carrySize, carryUnpainted, carryNoPrevious;

    StandardDefinitions();
};

}  // namespace

// Appends without first making sure the standard definitions exist (they use it themselves).
void AppendErrorDefinition(SErrorDefinition& definition, const char* identifier, const char* message)
{
    Registry& registry = TheRegistry();
    std::unique_lock guard(registry.lock);
    if (definition.registered_)
        return;
    definition.identifier_ = CopyText(identifier);
    definition.message_ = CopyText(message);
    definition.value = registry.list.empty() ? 2 : registry.list.back()->value + 1;
    definition.registered_ = true;
    registry.list.push_back(&definition);
}

namespace {

StandardDefinitions::StandardDefinitions()
{
    for (std::size_t i = 0; i < std::size(CoreTable); ++i)
        AppendErrorDefinition(core[i], CoreTable[i].identifier, CoreTable[i].message);
    AppendErrorDefinition(fileDialog, "filedialog", "ファイルのダイアログでエラーが発生しました。");
    AppendErrorDefinition(pluginNotDefined, "plugin_n_def", "プラグインのファイル名が指定されていません。");
    AppendErrorDefinition(pluginNotFound, "plugin_not_found", "プラグインが見つかりません。");
    AppendErrorDefinition(pluginInvalid, "plugin_invalid", "不正なプラグインが呼び出されました。");
    AppendErrorDefinition(pluginException, "plugin_exception", "プラグインが例外を送出しました。");
    AppendErrorDefinition(unexpected, "unexpected", "予期せぬエラーが発生しました。");
    AppendErrorDefinition(invalidPointer, "invalidpointer", "ポインタが不正です。");
    AppendErrorDefinition(pngError, "pngerror", "LIBPNGモジュールがエラーを返しました。");
    AppendErrorDefinition(pngError2, "pngerror2", "対応していない形式のPNGファイルです。");
    AppendErrorDefinition(jpegError, "pngerror", "LIBJPEGモジュールがエラーを返しました。");
    AppendErrorDefinition(fileNotRegular, "file_not_regular", "通常のファイルではないので、書き込めませんでした。");
    AppendErrorDefinition(gengaOverwrite, "genga_overwrite", "原画の画像なので、上書きできませんでした。");
    AppendErrorDefinition(carrySize, "carry_size", "色を写すセルと大きさが違います。");
    AppendErrorDefinition(carryUnpainted, "carry_unpainted", "色を写すセルが塗られていません。");
    AppendErrorDefinition(carryNoPrevious, "carry_no_previous", "色を写す前のセルが見つかりません。");
}

// Registers the standard definitions exactly once, on first use from any thread.
const StandardDefinitions& Standard()
{
    static const StandardDefinitions* const standard = new StandardDefinitions;
    return *standard;
}

}  // namespace

SErrorDefinition::~SErrorDefinition()
{
    UnregisterErrorDefinition(*this);
}

void RegisterErrorDefinition(SErrorDefinition& definition, const char* identifier, const char* message)
{
    Standard();
    AppendErrorDefinition(definition, identifier, message);
}

void UnregisterErrorDefinition(SErrorDefinition& definition)
{
    if (!definition.registered_)
        return;
    Registry& registry = TheRegistry();
    std::unique_lock guard(registry.lock);
    std::erase(registry.list, &definition);
    definition.identifier_.clear();
    definition.message_.clear();
    definition.registered_ = false;
}

std::vector<const SErrorDefinition*> RegisteredErrorDefinitions()
{
    Standard();
    Registry& registry = TheRegistry();
    std::shared_lock guard(registry.lock);
    return {registry.list.begin(), registry.list.end()};
}

std::optional<std::string> RegisteredErrorMessage(SError value)
{
    Standard();
    Registry& registry = TheRegistry();
    std::shared_lock guard(registry.lock);
    for (const SErrorDefinition* definition : registry.list)
        if (definition->value == value)
            return definition->Message();
    return std::nullopt;
}

SError ErrorFromIdentifier(const char* identifier)
{
    Standard();
    // An empty word names nothing, even though the reserved entries have no identifier either.
    if (!identifier || !*identifier)
        return 1;
    const std::string word = CopyText(identifier);
    Registry& registry = TheRegistry();
    std::shared_lock guard(registry.lock);
    for (const SErrorDefinition* definition : registry.list)
        if (!definition->Identifier().empty() && definition->Identifier() == word)
            return definition->value;
    return 1;
}

namespace error_definitions {
const SErrorDefinition& FileDialog() { return Standard().fileDialog; }
const SErrorDefinition& PluginNotDefined() { return Standard().pluginNotDefined; }
const SErrorDefinition& PluginNotFound() { return Standard().pluginNotFound; }
const SErrorDefinition& PluginInvalid() { return Standard().pluginInvalid; }
const SErrorDefinition& PluginException() { return Standard().pluginException; }
const SErrorDefinition& Unexpected() { return Standard().unexpected; }
const SErrorDefinition& InvalidPointer() { return Standard().invalidPointer; }
const SErrorDefinition& PngError() { return Standard().pngError; }
const SErrorDefinition& PngError2() { return Standard().pngError2; }
const SErrorDefinition& JpegError() { return Standard().jpegError; }
}  // namespace error_definitions

}  // namespace ulib
