#pragma once
// Which of the host's adjustment tools edits the one selected adjustment layer.

#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"

namespace Quarn::WinRT::detail {

// The host's tool id meaning "no adjustment tool".
inline constexpr ToolID kNoAdjustmentTool = 295;

// The tool id for the layer's class, kNoAdjustmentTool for a class without a tool.
ToolID AdjustmentToolIdFor(const AdjustmentRasterNode& layer);

// The id of the adjustment tool for the tool's selection: exactly one selected object, the
// first selected adjustment layer mapped by class; kNoAdjustmentTool otherwise.
ToolID SelectedAdjustmentToolId(const Tool& tool);

}  // namespace Quarn::WinRT::detail
