// The painting window's view of the check: the findings found again after each change of the
// layers while the view is on, the steps through them, and the status bar's texts.
#include "SCheckView.h"

#include "SHuedraneController.h"
#include "SLanguage.h"
#include "SMessage.h"

#include <algorithm>
#include <string>

using namespace ulib;
namespace refresh = main_refresh;

std::uint32_t SHuedraneController::ShowCheck(bool shown)
{
    checkShown_ = shown;
    checkStale_ = true;
    if (!shown)
        checker_ = SCelChecker();
    findingIndex_ = -1;
    return refresh::Canvas | refresh::ViewMenu;
}

const std::vector<SFinding>& SHuedraneController::CheckFindings()
{
    if (!checkShown_ || !checkStale_)
        return checker_.Findings();
    checkStale_ = false;
    findingIndex_ = -1;
    // A view without findings is no failure; the next edit checks again.
    if (state_ == SDocumentState::None || checker_.Check(cel_.paint, cel_.trace, checkOptions_) != 0)
        checker_ = SCelChecker();
    return checker_.Findings();
}

std::uint32_t SHuedraneController::SetCheckOptions(const SCheckOptions& options)
{
    checkOptions_ = options;
    checkOptions_.minSpeck = std::clamp(options.minSpeck, 0, LargestMinSpeck);
    checkStale_ = true;
    findingIndex_ = -1;
    return checkShown_ ? refresh::Canvas : 0;
}

bool SHuedraneController::ConfirmExportAfterCheck()
{
    if (!checkBeforeExport_)
        return true;
    std::vector<SFinding> findings;
    // A check that cannot run stops no export.
    if (CheckCel(cel_.paint, cel_.trace, checkOptions_, findings) != 0 || findings.empty())
        return true;
    const SString question(FormatText("%1\n\nこのままエクスポートしますか?", {CheckSummary(findings).Str()}));
    return ShowMessageBox("warning", question.CStr(), "Y2") == 1;
}

std::int32_t SHuedraneController::StepFinding(std::int32_t direction)
{
    const std::int32_t count = std::int32_t(CheckFindings().size());
    if (count == 0)
        return -1;
    if (findingIndex_ < 0)
        findingIndex_ = direction < 0 ? count - 1 : 0;
    else
        findingIndex_ = (findingIndex_ + (direction < 0 ? count - 1 : 1)) % count;
    return findingIndex_;
}

SString CheckSummary(const std::vector<SFinding>& findings)
{
    std::int32_t counts[3] = {0, 0, 0};
    for (const SFinding& f : findings)
        ++counts[static_cast<std::size_t>(f.kind)];
    if (findings.empty())
        return SString(Translate("チェック: 問題は見つかりませんでした"));
    return SString(FormatText("チェック: 塗り残し %1、ゴミ %2、未変換の色トレス線 %3",
                              {std::to_string(counts[0]), std::to_string(counts[1]), std::to_string(counts[2])}));
}

SString FindingText(const std::vector<SFinding>& findings, std::int32_t index)
{
    static const char* const kinds[] = {"塗り残し", "ゴミ", "未変換の色トレス線"};
    const SFinding& f = findings[std::size_t(index)];
    return SString(FormatText("チェック %1 / %2: %3 %4 ピクセル",
                              {std::to_string(index + 1), std::to_string(findings.size()),
                               Translate(kinds[static_cast<std::size_t>(f.kind)]), std::to_string(f.pixels)}));
}
