// The status bar's texts of the painting window's check view (the view itself is the controller's
// ShowCheck, CheckFindings and StepFinding).
#pragma once

#include "SCelCheck.h"
#include "SString.h"

#include <cstdint>
#include <vector>

// "チェック: 塗り残し 3、ゴミ 1、未変換の色トレス線 2", or that nothing was found.
ulib::SString CheckSummary(const std::vector<SFinding>& findings);
// The step to finding index (0-based): "チェック 2 / 6: 塗り残し 527 ピクセル".
ulib::SString FindingText(const std::vector<SFinding>& findings, std::int32_t index);
