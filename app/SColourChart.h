// The colour chart: named groups of named flat colours, kept in chart order, with the per-user chart
// file and the box's editing commands. Qt-free; the chart box window calls these operations and
// shows the message texts below.
#pragma once

#include "SColor.h"
#include "SError.h"
#include "SMap.h"
#include "SPaintContext.h"
#include "SString.h"

#include <array>
#include <cstdint>

namespace ulib {

// A group's colours: keys are colours, values their names. Equal colours and equal names may repeat.
using SColourGroup = SMap<SColor, SString>;
using SColourGroups = SMap<SString, SColourGroup>;

inline constexpr const char* kChartNewGroupName = "新しいグループ";
inline constexpr const char* kChartNewColourName = "新しい色";
inline constexpr const char* kChartQuickPaletteName = "クイックパレット";
inline constexpr const char* kChartLoadFailedText = "カラーチャートが読み込めませんでした。";
inline constexpr const char* kChartSaveFailedText = "カラーチャートが保存できませんでした。";
inline constexpr const char* kChartNoGroupText = "グループが選択されていません。";
inline constexpr const char* kChartDeleteGroupAsk = "グループを削除してよろしいですか？";
inline constexpr const char* kChartLoadAsk = "チャートを読み込むと、現在のチャートは破棄されます。続けますか？";

class SColourChart
{
public:
    SColourGroups groups;
    bool modified = false;

    // Empties the chart, then reads the INI-style chart file (CP932, or UTF-8 line by line when the
    // line is valid UTF-8). A read failure is reported at once (ReportError) and returned; the chart
    // stays empty. Any bytes are accepted; a file over 16 MiB is no chart ("too_large_data").
    SError LoadChartFile(const SString& path);
    // Writes every group as "[name]" and "name=(R,G,B[,A])" lines ending in CR LF, names in CP932
    // (UTF-8 when CP932 cannot hold them). The old file is replaced only by a complete new one.
    SError SaveChartFile(const SString& path) const;

    // The chart the chart box starts with. A file at path, even an empty one, is the user's chart
    // and is read by LoadChartFile (its error is the result); anything else there (a folder) is no
    // chart and is left alone. Only when nothing is at path, a first start, does the chart come
    // from defaultChart (chart file bytes), marked modified so that it is saved as the user's
    // chart as any change is. An empty path leaves the chart empty.
    SError LoadUserChart(const SString& path, std::string_view defaultChart);

    // Parses chart file bytes into groups (the reading part of LoadChartFile).
    static SColourGroups ParseChart(std::string_view bytes);
    // The bytes SaveChartFile writes.
    static std::string FormatChart(const SColourGroups& groups);

    // Commands. Each marks the chart modified, also when it then finds nothing to do. Indices out
    // of range change nothing and give false.
    // A colour for a new entry: the current colour in the plain-colour mode, else black.
    static SColor NewEntryColour(SColor current, SColourMode mode);
    void AppendGroup(SColor current, SColourMode mode);
    bool DeleteGroup(std::int32_t group);
    bool AppendColour(std::int32_t group, SColor current, SColourMode mode);
    // A group's last colour is never deleted.
    bool DeleteColour(std::int32_t group, std::int32_t row);
    // Moves the colour at from to position to; the colours between shift by one place.
    bool MoveColour(std::int32_t group, std::int32_t from, std::int32_t to);
    bool RenameGroup(std::int32_t group, const SString& name);
    bool RenameColour(std::int32_t group, std::int32_t row, const SString& name);
    bool SetColour(std::int32_t group, std::int32_t row, SColor colour);
    // Copies the first min(count, 16) colours of the group into slots 0, 1, ...; others stay.
    // Does not mark the chart modified (the chart is unchanged).
    bool ToQuickPalette(std::int32_t group, std::array<SColor, 16>& palette) const;
    // Appends the group "クイックパレット" with the 16 slots named "クイックパレット01".."16".
    void FromQuickPalette(const std::array<SColor, 16>& palette);

private:
    bool ValidRow(std::int32_t group, std::int32_t row) const;
};

// The per-user chart file: $XDG_DATA_HOME (when absolute), else $HOME/.local/share, followed by
// "Vantrel/Huedrane/chart.ini". Empty when neither is available.
SString ChartFilePath();
// Creates "Vantrel" and "Vantrel/Huedrane" in the data folder (existing folders are no error).
SError MakeChartFolder();

}  // namespace ulib
