// The four conversion starters the document commands call. Each runs one TConvertThread while the
// platform seam shows the progress box and keeps the interface alive (a window platform runs its
// nested event loop; a headless one simply waits), then returns the worker's result. Only one
// conversion runs at a time: a starter returns after its worker has ended.
#pragma once

#include "SArray.h"
#include "SError.h"
#include "SHuedraneOptions.h"
#include "SQuickPress.h"
#include "SSpiAccess.h"
#include "SString.h"

namespace ulib {

// The picture into document (a container made for the purpose, never the open cel), reading
// through the plug-ins when the built-in readers refuse it. Box lines: "インポート処理中です" and the
// file's name and extension.
SError RunImport(SQuickPress& document, const SString& fileName, const SHuedraneOptions& options,
                 const SSpiAccess& spi);
// The document rendered into the picture file fileName. Box lines: "エクスポート処理中です" and the
// file's name and extension.
SError RunExport(SQuickPress& document, const SString& fileName, const SHuedraneOptions& options);
// Every picture into a document beside it (".hdq"); the worker sets the box's lines per file.
SError RunBatchImport(const SArray<SString>& files, const SHuedraneOptions& options, const SSpiAccess& spi);
// Every document into a picture beside it; box lines "一括エクスポート変換中です", "ファイル名は不明" until
// the first file starts.
SError RunBatchExport(const SArray<SString>& files, const SHuedraneOptions& options);

}  // namespace ulib
