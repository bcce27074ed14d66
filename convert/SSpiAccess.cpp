// Reading pictures and building the open dialogs' filters through the plug-ins. Each call into a
// plug-in is one run of the helper (SSpiHost.h); what comes back is checked here before use.
#include "SSpiAccess.h"

#include "SFileMapper.h"
#include "SLanguage.h"
#include "SMessage.h"
#include "SSpiHost.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace ulib {

namespace {

constexpr std::string_view PictureVersion = "+0+0+I+N";

// A text as GetPluginInfo left it: cut to the returned length (and at a terminating zero, which
// the length may not count), blanks and control bytes trimmed from both ends.
std::string InfoString(const SSpiHostAnswer& answer, std::int32_t number)
{
    const char* text = answer.InfoText(number);
    const std::int32_t length = std::clamp<std::int32_t>(answer.InfoLength(number), 0, spi_protocol::InfoTextSize);
    std::string_view view(text, std::size_t(length));
    view = view.substr(0, view.find('\0'));
    while (!view.empty() && static_cast<unsigned char>(view.front()) <= ' ')
        view.remove_prefix(1);
    while (!view.empty() && static_cast<unsigned char>(view.back()) <= ' ')
        view.remove_suffix(1);
    return std::string(view);
}

bool IsPicturePlugin(const SSpiHostAnswer& answer)
{
    const auto* text = reinterpret_cast<const std::uint8_t*>(answer.InfoText(0));
    const std::int32_t length = std::min<std::int32_t>(answer.InfoLength(0), spi_protocol::InfoTextSize);
    return length >= 4 && HasSignature(text, text + length, PictureVersion);
}

// The SError of a non-zero GetPicture code.
SError CodeError(std::int32_t code)
{
    static const char* const identifiers[] = {nullptr, "abort", "wrong_format", "bad_format", "memory_insuf",
                                              "memory", "file_open", "plugin"};
    if (code >= 1 && code <= 7)
        return ErrorFromIdentifier(identifiers[code]);
    return 1;
}

bool AbortRequested(const SAbort* abort) { return abort && abort->IsAborted(); }

// Steps shared by the readers: each plug-in in turn until one reads the picture. A user's abort
// ends the search at once; otherwise the last real failure counts over plug-ins that declined.
SError ReadWithEach(const SSpiAccess& spi, SBitmap* bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                    const SString& fileName, SAbort* abort)
{
    const SError declined = ErrorFromIdentifier("UnacceptableFormat");
    SError kept = 0;
    for (std::int32_t i = 0; i < spi.plugins.Count(); ++i) {
        const SError err = TryPlugin(spi, bitmap, begin, end, fileName, spi.plugins[i], abort);
        if (err == 0)
            return 0;
        if (err != declined)
            kept = err;
        if (AbortRequested(abort)) {
            kept = ErrorFromIdentifier("abort");
            break;
        }
    }
    bitmap->Release();
    return kept ? kept : declined;
}

}  // namespace

SMap<SString, SString> GetPictureFilters(const SSpiAccess& spi)
{
    // In the order found; a later equal description replaces the earlier pattern in its place.
    SMap<SString, SString> found;
    for (std::int32_t i = 0; i < spi.plugins.Count(); ++i) {
        SSpiHostCall call;
        call.spi = &spi;
        call.pluginPath = spi.plugins[i];
        SSpiHostAnswer answer;
        if (RunPluginHost(call, &answer) != 0 || answer.Header().status != spi_protocol::StatusRead ||
            !IsPicturePlugin(answer))
            continue;
        for (std::int32_t number = 2; number + 1 < spi_protocol::InfoEntryCount; number += 2) {
            std::string pattern = InfoString(answer, number);
            std::string description = InfoString(answer, number + 1);
            if (pattern.empty() || description.empty())
                continue;
            if (SString* earlier = found.Find(SString(description)))
                *earlier = SString(std::move(pattern));
            else
                found.Append(SString(std::move(description)), SString(std::move(pattern)));
        }
    }

    std::string all = "*.bmp;*.png;*.jpg;*.jpeg;";
    for (std::int32_t i = 0; i < found.Count(); ++i)
        all += found.Value(i).Str() + ";";
    SMap<SString, SString> filters;
    filters.Append(SString("対応している画像ファイル"), SString(all));
    for (std::int32_t i = 0; i < found.Count(); ++i)
        filters.Append(found.Key(i), found.Value(i));
    filters.Append(SString("JPEGファイル(*.jpg)"), SString("*.jpg;*.jpeg"));
    filters.Append(SString("PNGファイル(*.png)"), SString("*.png"));
    filters.Append(SString("ビットマップファイル(*.bmp)"), SString("*.bmp"));
    return filters;
}

SError TryPlugin(const SSpiAccess& spi, SBitmap* bitmap, const std::uint8_t* begin, const std::uint8_t* end,
                 const SString& fileName, const SString& pluginPath, SAbort* abort)
{
    if (!bitmap || !begin || !end || end < begin)
        return ErrorFromIdentifier("pointer");
    if (begin == end)
        return ErrorFromIdentifier("EmptyData");
    if (pluginPath.IsEmpty())
        return ErrorFromIdentifier("plugin_n_def");

    SSpiHostCall call;
    call.spi = &spi;
    call.read = true;
    call.pluginPath = pluginPath;
    call.fileName = fileName;
    call.data = begin;
    call.size = std::size_t(end - begin);
    call.abort = abort;
    SSpiHostAnswer answer;
    SError err = RunPluginHost(call, &answer);
    if (err == 0) {
        const spi_protocol::ResultHeader& header = answer.Header();
        switch (header.status) {
        case spi_protocol::StatusRead:
            if (header.code != 0) {
                if (spi.showCodeBox) {
                    const std::string text =
                        FormatText("SPIが次のエラーを返しました。エラーコード：%1", {std::to_string(header.code)});
                    ShowPlainMessage(text.c_str());
                }
                err = AbortRequested(abort) ? ErrorFromIdentifier("abort") : CodeError(header.code);
            } else {
                err = PictureFromPluginBlocks(bitmap, answer.Info(), std::size_t(header.infoSize), answer.Pixels(),
                                              std::size_t(header.pixelSize));
            }
            break;
        case spi_protocol::StatusNotFound:
            err = ErrorFromIdentifier("plugin_not_found");
            break;
        case spi_protocol::StatusInvalid:
            err = ErrorFromIdentifier("plugin_invalid");
            break;
        case spi_protocol::StatusDeclined:
            err = ErrorFromIdentifier("UnacceptableFormat");
            break;
        case spi_protocol::StatusNoMemory:
            err = ErrorFromIdentifier("Workspace");
            break;
        default:
            err = ErrorFromIdentifier("plugin_exception");
            break;
        }
    }
    if (err)
        bitmap->Release();
    return err;
}

SError ReadPictureWithPlugins(const SSpiAccess& spi, SBitmap* bitmap, const std::uint8_t* begin,
                              const std::uint8_t* end, const SString& fileName, SAbort* abort)
{
    if (!bitmap || !begin || !end || end < begin)
        return ErrorFromIdentifier("pointer");
    if (begin == end) {
        bitmap->Release();
        return ErrorFromIdentifier("EmptyData");
    }
    return ReadWithEach(spi, bitmap, begin, end, fileName, abort);
}

SError ReadBmpOrPluginFile(const SSpiAccess& spi, const SString& fileName, SBitmap* bitmap, SAbort* abort)
{
    if (!bitmap)
        return ErrorFromIdentifier("pointer");
    struct stat st;
    if (fileName.IsEmpty() || stat(fileName.CStr(), &st) != 0 || S_ISDIR(st.st_mode)) {
        bitmap->Release();
        return ErrorFromIdentifier("file_not_found");
    }
    SFileMapper file;
    if (SError err = file.OpenRead(fileName)) {
        bitmap->Release();
        return err;
    }
    SError result = 0;
    if (file.Size() == 0)
        result = ErrorFromIdentifier("empty_file");
    else if (ReadBmp(*bitmap, file.Begin(), file.End()) != 0)
        result = ReadWithEach(spi, bitmap, file.Begin(), file.End(), fileName, abort);
    const SError closed = file.Close();
    if (result == 0)
        result = closed;
    if (result)
        bitmap->Release();
    return result;
}

SPictureReader PluginPictureReader(const SSpiAccess& spi)
{
    return [&spi](SBitmap& bitmap, const std::uint8_t* begin, const std::uint8_t* end, const SString& path,
                  SAbort* abort) { return ReadPictureWithPlugins(spi, &bitmap, begin, end, path, abort); };
}

}  // namespace ulib
