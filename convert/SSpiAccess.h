// Picture plug-ins: *.spi shared objects exporting the calls of plugins/SusiePlugin.h. The list is
// found once at start; every call into a plug-in (version and filter texts, the support test,
// reading a picture) runs in our helper program huedrane-spi-host, started with posix_spawn, so a
// plug-in that crashes or hangs costs one picture ("plugin_exception"), never the open cel.
#pragma once

#include "SAbort.h"
#include "SArray.h"
#include "SBitmap.h"
#include "SError.h"
#include "SMap.h"
#include "SString.h"
#include "Sximage.h"

#include <cstdint>

namespace ulib {

struct SSpiAccess
{
    // Full paths of the plug-in files in the order found, without duplicates.
    SArray<SString> plugins;
    // The helper program; by default the one installed beside this program.
    SString hostPath = DefaultPluginHostPath();
    // A call that reports no progress for this long is taken as hung: the helper is killed and the
    // call gives "plugin_exception". Zero or less waits as long as the helper lives.
    std::int32_t timeoutMilliseconds = 30000;
    // A call still running after this long is stopped the same way, however often it reports
    // progress. Zero or less: no overall limit.
    std::int32_t callLimitMilliseconds = 120000;
    // After an abort request the plug-in has this long to stop through its progress calls; then
    // the helper is killed and the call gives "abort".
    std::int32_t abortGraceMilliseconds = 200;
    // The address space the helper may add to what it maps when it starts; a plug-in that wants
    // more fails its picture. Zero: no limit. A 12-megapixel scan needs well under a tenth of this.
    std::uint64_t memoryLimitBytes = std::uint64_t(3) << 30;
    // Whether a non-zero GetPicture code is first shown in a plain box. The converter clears it:
    // its one-line error already names the failure.
    bool showCodeBox = true;

    static SString DefaultPluginHostPath();  // <program>/../libexec/huedrane/huedrane-spi-host
};

// The folder of the plug-ins shipped with the program: <program>/../lib/huedrane/plugins/.
SString OwnPluginFolder();

// Fills spi.plugins from folder; when folder is empty, from PluginFolderFromRegistry(); when that
// is empty too, from ownFolder (the shipped plug-ins work without setup); an empty ownFolder finds
// nothing.
void FindPlugins(SSpiAccess& spi, const SString& folder, const SString& ownFolder = OwnPluginFolder());

// "Path" of HKCU\Software\Ornibek\Susie\Plug-in, trimmed of blanks and control bytes; may be empty.
SString PluginFolderFromRegistry();

// The open dialogs' picture filters (description -> pattern): "対応している画像ファイル" first, then
// the picture plug-ins' own in the order found (a later plug-in's equal description replaces the
// earlier pattern), then JPEG, PNG and bitmap. Plug-ins that fail or are not picture readers add nothing.
SMap<SString, SString> GetPictureFilters(const SSpiAccess& spi);

// Asks each plug-in in list order; the first success wins. Errors: "pointer", "EmptyData", the last
// plug-in failure, or "UnacceptableFormat" when all declined; the bitmap is released on failure.
// An abort requested on `abort` ends the search with "abort" (no further plug-in is started).
SError ReadPictureWithPlugins(const SSpiAccess& spi, SBitmap* bitmap, const std::uint8_t* begin,
                              const std::uint8_t* end, const SString& fileName, SAbort* abort = nullptr);

// A BMP file, else the plug-ins (PNG and JPEG only through plug-ins here).
SError ReadBmpOrPluginFile(const SSpiAccess& spi, const SString& fileName, SBitmap* bitmap, SAbort* abort = nullptr);

// One plug-in's attempt at one picture, made in a helper process. Data shorter than 2048 bytes
// reach the plug-in as 2048 bytes with a zero tail. A non-zero GetPicture code is first shown in a
// plain box ("SPIが次のエラーを返しました。エラーコード：<code>") when spi.showCodeBox, from whichever
// thread calls.
// err: "pointer", "EmptyData", "plugin_n_def", "Workspace", "plugin_not_found", "plugin_invalid"
// (an entry point missing, or not a picture plug-in), "UnacceptableFormat" (declined), "abort"
// (requested on `abort`, or code 1), the codes' errors, the errors of PictureFromPluginBlocks,
// "plugin_exception" (the plug-in crashed, ran out of its memory limit, was silent for
// timeoutMilliseconds or ran past callLimitMilliseconds), the system error of a helper that cannot
// be started.
SError TryPlugin(const SSpiAccess& spi, SBitmap* bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                 const SString& fileName, const SString& pluginPath, SAbort* abort = nullptr);

// The ReadImageFile fallback that reads through these plug-ins (spi must outlive its use).
SPictureReader PluginPictureReader(const SSpiAccess& spi);

// Builds the bitmap from the two blocks a plug-in returned (bytes as allocated): the information
// header's width, height and bit count, resolutions, the colour table when the block holds it, and
// the pixel area. A 32-bit picture whose V4/V5 header gives an alpha mask (and whose alpha is not
// zero throughout) is marked SetHasAlpha(true). A block smaller than it claims is refused, never read past: an information block
// shorter than 40 bytes or with a format SBitmap cannot make "bad_format", a size SBitmap cannot
// allocate "memory_alloc", a pixel block smaller than the pixel area "unexpected".
SError PictureFromPluginBlocks(SBitmap* bitmap, const std::uint8_t* info, std::size_t infoSize,
                               const std::uint8_t* pixels, std::size_t pixelSize);

}  // namespace ulib
