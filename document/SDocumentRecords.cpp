// Memo lines and flag-layer runs to and from their record bytes.
#include "SDocumentRecords.h"

#include "SByteOrder.h"
#include "SStoredText.h"

#include <cstring>

using namespace ulib;

SBinary MemoToBytes(const SArray<SString>& memo, SError& err)
{
    std::string bytes;
    for (const SString& line : memo) {
        bytes += EncodeStoredText(line.View());
        bytes += "\r\n";
    }
    SBinary out;
    if (SError e = out.Assign(bytes.data(), bytes.size()); e && !err)
        err = e;
    return out;
}

void BytesToMemo(const SBinary& bytes, SArray<SString>& memo)
{
    memo.Clear();
    const std::span<const std::uint8_t> b = bytes.Bytes();
    auto isBreak = [](std::uint8_t c) { return c == '\r' || c == '\n' || c == '\f' || c == 0; };
    std::size_t start = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (!isBreak(b[i]))
            continue;
        const std::string_view line(reinterpret_cast<const char*>(b.data()) + start, i - start);
        memo.Append(SString(DecodeStoredText(line)));
        if (b[i] == '\r' && i + 1 < b.size() && (b[i + 1] == '\n' || b[i + 1] == '\f' || b[i + 1] == 0))
            ++i;
        start = i + 1;
    }
    if (start < b.size())
        memo.Append(SString(DecodeStoredText(
            std::string_view(reinterpret_cast<const char*>(b.data()) + start, b.size() - start))));
}

SBinary FlagLayerToRuns(const SBitmap& flag, SError& err)
{
    std::vector<std::uint32_t> words;
    bool anySet = false;
    for (std::int32_t y = 0; y < flag.Height(); ++y) {
        const std::uint8_t* row = flag.Row(y);
        std::int32_t x = 0;
        while (x < flag.Width()) {
            const std::uint8_t value = row[x] & 3;
            std::int32_t end = x + 1;
            while (end < flag.Width() && (row[end] & 3) == value)
                ++end;
            anySet |= value != 0;
            words.push_back(std::uint32_t(end - x) | std::uint32_t(value) << 24);
            x = end;
        }
    }
    SBinary out;
    if (!anySet)
        return out;
    if (SError e = out.Resize(words.size() * 4)) {
        if (!err)
            err = e;
        return out;
    }
    for (std::size_t i = 0; i < words.size(); ++i)
        PutLE32(out.Data() + i * 4, words[i]);
    return out;
}

void ApplyFlagRuns(const SBinary& runs, SBitmap& flag)
{
    const std::span<const std::uint8_t> b = runs.Bytes();
    std::int32_t x = 0, y = 0;
    for (std::size_t i = 0; i + 4 <= b.size() && y < flag.Height(); i += 4) {
        const std::uint32_t word = GetLE32(b.data() + i);
        std::uint32_t length = word & 0xFFFFFF;
        const std::uint8_t value = std::uint8_t((word >> 24) & 3);
        while (length > 0 && y < flag.Height()) {
            const std::int32_t n = std::int32_t(std::min<std::uint32_t>(length, std::uint32_t(flag.Width() - x)));
            std::uint8_t* p = flag.Row(y) + x;
            for (std::int32_t k = 0; k < n; ++k)
                p[k] = std::uint8_t((p[k] & ~3u) | value);
            length -= std::uint32_t(n);
            x += n;
            if (x == flag.Width())
                x = 0, ++y;
        }
    }
}
