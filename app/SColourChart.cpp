#include "SColourChart.h"

#include "SAscii.h"
#include "SColourText.h"
#include "SReplacingFile.h"
#include "SStoredText.h"
#include "SUserFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <string_view>
#include <sys/stat.h>

namespace ulib {

namespace {

// A chart holds a few hundred colours; anything this large is not a chart and is not read into memory.
constexpr std::size_t MaxChartFileBytes = 16u << 20;

bool IsCp932Lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

bool IsBlank(unsigned char c)
{
    return IsAsciiBlank(char(c));
}

// Scans one line; in a CP932 line a lead byte and the byte after it form one character, so a
// trail byte never counts as "[", "]", "=", ";" or a control byte. A line that is valid UTF-8 has
// no ASCII bytes inside its characters and is scanned byte by byte.
class SLineScanner
{
public:
    explicit SLineScanner(std::string_view line) : line_(line), cp932_(!IsValidUtf8(line)) {}

    // Position of the first byte at or after from that satisfies stop, or the line's length.
    template <typename Stop>
    std::size_t Find(std::size_t from, Stop stop) const
    {
        std::size_t i = from;
        while (i < line_.size()) {
            const auto c = static_cast<unsigned char>(line_[i]);
            if (cp932_ && IsCp932Lead(c) && i + 1 < line_.size()) {
                i += 2;
                continue;
            }
            if (stop(c))
                return i;
            ++i;
        }
        return line_.size();
    }

    // The end of [from, to) without its trailing blanks, counted by characters.
    std::size_t TrimEnd(std::size_t from, std::size_t to) const
    {
        std::size_t end = from;
        std::size_t i = from;
        while (i < to) {
            const auto c = static_cast<unsigned char>(line_[i]);
            const std::size_t step = (cp932_ && IsCp932Lead(c) && i + 1 < to) ? 2 : 1;
            if (step == 2 || !IsBlank(c))
                end = i + step;
            i += step;
        }
        return end;
    }

private:
    std::string_view line_;
    bool cp932_;
};

}  // namespace

SColourGroups SColourChart::ParseChart(std::string_view bytes)
{
    SColourGroups groups;
    std::int32_t current = -1;  // pairs before the first section belong to no group
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size()) {
            const char c = bytes[end];
            if (c == '\0' || c == '\r' || c == '\n' || c == '\f')
                break;
            ++end;
        }
        const std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size()) {
            const char breaker = bytes[pos++];
            if (breaker == '\r' && pos < bytes.size() && (bytes[pos] == '\n' || bytes[pos] == '\0' || bytes[pos] == '\f'))
                ++pos;
        }

        const SLineScanner scan(line);
        std::size_t start = 0;
        while (start < line.size() && IsBlank(static_cast<unsigned char>(line[start])))
            ++start;
        if (start == line.size())
            continue;
        const auto first = static_cast<unsigned char>(line[start]);
        if (IsControl(first) || first == ';')
            continue;

        if (first == '[') {
            const std::size_t from = start + 1;
            const std::size_t stop = scan.Find(from, [](unsigned char c) { return c == ']' || c == ';' || IsControl(c); });
            const std::size_t to = scan.TrimEnd(from, stop);
            const SString name(DecodeStoredText(line.substr(from, to - from)));
            current = groups.IndexOf(name);
            if (current < 0) {
                if (groups.Append(name, SColourGroup()))
                    return groups;  // out of memory: keep what was read
                current = groups.Count() - 1;
            }
            continue;
        }

        const std::size_t equals = scan.Find(start, [](unsigned char c) { return c == '=' || c == ';'; });
        std::size_t keyEnd = equals;
        std::string_view value;
        if (equals < line.size() && line[equals] == '=') {
            std::size_t from = equals + 1;
            while (from < line.size() && IsBlank(static_cast<unsigned char>(line[from])))
                ++from;
            const std::size_t stop = scan.Find(from, [](unsigned char c) { return c == ';' || IsControl(c); });
            value = line.substr(from, scan.TrimEnd(from, stop) - from);
        }
        keyEnd = scan.TrimEnd(start, keyEnd);
        if (current < 0)
            continue;
        const SString key(DecodeStoredText(line.substr(start, keyEnd - start)));
        if (groups.Value(current).Append(TextToColour(value), key))
            return groups;
    }
    for (std::int32_t i = 0; i < groups.Count(); ++i) {
        if (groups.Value(i).IsEmpty())
            (void)groups.Value(i).Append(SColor::Black, SString(kChartNewColourName));
    }
    return groups;
}

std::string SColourChart::FormatChart(const SColourGroups& groups)
{
    std::string out;
    for (std::int32_t g = 0; g < groups.Count(); ++g) {
        out += '[';
        out += EncodeStoredText(groups.Key(g).View());
        out += "]\r\n";
        const SColourGroup& colours = groups.Value(g);
        for (std::int32_t c = 0; c < colours.Count(); ++c) {
            out += EncodeStoredText(colours.Value(c).View());
            out += '=';
            out += ColourToText(colours.Key(c), "").View();
            out += "\r\n";
        }
    }
    return out;
}

SError SColourChart::LoadChartFile(const SString& path)
{
    groups.Clear();
    std::string bytes;
    SError error = 0;
    std::FILE* file = std::fopen(path.CStr(), "rb");
    if (!file) {
        error = ErrorFromSystemCode(errno);
    } else {
        char buffer[65536];
        for (;;) {
            const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
            bytes.append(buffer, got);
            if (bytes.size() > MaxChartFileBytes) {
                error = ErrorFromIdentifier("too_large_data");
                break;
            }
            if (got < sizeof buffer) {
                if (std::ferror(file))
                    error = ErrorFromSystemCode(errno ? errno : EIO);
                break;
            }
        }
        std::fclose(file);
    }
    if (error) {
        ReportError(error);
        return error;
    }
    groups = ParseChart(bytes);
    return 0;
}

SError SColourChart::LoadUserChart(const SString& path, std::string_view defaultChart)
{
    groups.Clear();
    modified = false;
    if (path.IsEmpty())
        return 0;
    struct stat info {};
    if (::stat(path.CStr(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : LoadChartFile(path);
    // Only a file known to be missing is a first start: a folder we may not look into might
    // hold the user's chart.
    if (errno == ENOENT) {
        groups = ParseChart(defaultChart);
        modified = true;
    }
    return 0;
}

SError SColourChart::SaveChartFile(const SString& path) const
{
    const std::string bytes = FormatChart(groups);
    SReplacingFile file;
    if (const SError error = file.Open(path))
        return error;
    std::FILE* stream = file.Stream();
    if (!stream)
        return ErrorFromSystemCode(ENOMEM);  // the temporary file is discarded with the object
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size())
        return ErrorFromSystemCode(errno ? errno : ENOSPC);
    return file.Commit();
}

SColor SColourChart::NewEntryColour(SColor current, SColourMode mode)
{
    return mode == SColourMode::Colour ? current : SColor::Black;
}

bool SColourChart::ValidRow(std::int32_t group, std::int32_t row) const
{
    return group >= 0 && group < groups.Count() && row >= 0 && row < groups.Value(group).Count();
}

void SColourChart::AppendGroup(SColor current, SColourMode mode)
{
    modified = true;
    SColourGroup colours;
    if (colours.Append(NewEntryColour(current, mode), SString(kChartNewColourName)))
        return;
    (void)groups.Append(SString(kChartNewGroupName), std::move(colours));
}

bool SColourChart::DeleteGroup(std::int32_t group)
{
    modified = true;
    if (group < 0 || group >= groups.Count())
        return false;
    groups.Delete(group);
    return true;
}

bool SColourChart::AppendColour(std::int32_t group, SColor current, SColourMode mode)
{
    modified = true;
    if (group < 0 || group >= groups.Count())
        return false;
    return !groups.Value(group).Append(NewEntryColour(current, mode), SString(kChartNewColourName));
}

bool SColourChart::DeleteColour(std::int32_t group, std::int32_t row)
{
    modified = true;
    if (!ValidRow(group, row) || groups.Value(group).Count() <= 1)
        return false;
    groups.Value(group).Delete(row);
    return true;
}

bool SColourChart::MoveColour(std::int32_t group, std::int32_t from, std::int32_t to)
{
    modified = true;
    if (!ValidRow(group, from) || !ValidRow(group, to))
        return false;
    SColourGroup& colours = groups.Value(group);
    const int step = from < to ? 1 : -1;
    for (std::int32_t i = from; i != to; i += step) {
        std::swap(colours.Key(i), colours.Key(i + step));
        std::swap(colours.Value(i), colours.Value(i + step));
    }
    return true;
}

bool SColourChart::RenameGroup(std::int32_t group, const SString& name)
{
    modified = true;
    if (group < 0 || group >= groups.Count())
        return false;
    groups.Key(group) = name;
    return true;
}

bool SColourChart::RenameColour(std::int32_t group, std::int32_t row, const SString& name)
{
    modified = true;
    if (!ValidRow(group, row))
        return false;
    groups.Value(group).Value(row) = name;
    return true;
}

bool SColourChart::SetColour(std::int32_t group, std::int32_t row, SColor colour)
{
    modified = true;
    if (!ValidRow(group, row))
        return false;
    groups.Value(group).Key(row) = colour;
    return true;
}

bool SColourChart::ToQuickPalette(std::int32_t group, std::array<SColor, 16>& palette) const
{
    if (group < 0 || group >= groups.Count())
        return false;
    const SColourGroup& colours = groups.Value(group);
    for (std::int32_t i = 0; i < colours.Count() && i < 16; ++i)
        palette[std::size_t(i)] = colours.Key(i);
    return true;
}

void SColourChart::FromQuickPalette(const std::array<SColor, 16>& palette)
{
    modified = true;
    SColourGroup colours;
    for (int i = 0; i < 16; ++i) {
        char number[3] = {char('0' + (i + 1) / 10), char('0' + (i + 1) % 10), '\0'};
        if (colours.Append(palette[std::size_t(i)], SString(kChartQuickPaletteName) + number))
            return;
    }
    (void)groups.Append(SString(kChartQuickPaletteName), std::move(colours));
}

SString ChartFilePath()
{
    const SString base = UserFolder("XDG_DATA_HOME", ".local/share");
    return base.IsEmpty() ? SString() : SString(base.Str() + "/Vantrel/Huedrane/chart.ini");
}

SError MakeChartFolder()
{
    const std::string file = ChartFilePath().Str();
    if (file.empty())
        return ErrorFromSystemCode(ENOENT);
    const std::string huedrane = file.substr(0, file.rfind('/'));
    const std::string vantrel = huedrane.substr(0, huedrane.rfind('/'));
    for (const std::string& folder : {vantrel, huedrane}) {
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            return ErrorFromSystemCode(errno);
    }
    return 0;
}

}  // namespace ulib
