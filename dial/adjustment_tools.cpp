#include "dial/adjustment_tools.h"

#include "items/type_test.h"

namespace Quarn::WinRT::detail {

namespace {

template <class Layer>
bool Is(const AdjustmentRasterNode& layer) {
    return IsA<Layer, struct LayerClassSite>(&layer);
}

}  // namespace

ToolID AdjustmentToolIdFor(const AdjustmentRasterNode& layer) {
    // The host fixes these ids; the classes are tested in this order and the first match wins.
    if (Is<BlackAndWhiteAdjustmentRasterNode>(layer))
        return 135;
    if (Is<BrightnessContrastAdjustmentRasterNode>(layer))
        return 180;
    if (Is<ColourBalanceAdjustmentRasterNode>(layer))
        return 182;
    if (Is<CurvesAdjustmentRasterNode>(layer))
        return 163;
    if (Is<ExposureAdjustmentRasterNode>(layer))
        return 176;
    if (Is<HSLShiftAdjustmentRasterNode>(layer))
        return 178;
    if (Is<LevelsAdjustmentRasterNode>(layer))
        return 188;
    if (Is<PosteriseAdjustmentRasterNode>(layer))
        return 183;
    if (Is<RecolourAdjustmentRasterNode>(layer))
        return 177;
    if (Is<SplitToningAdjustmentRasterNode>(layer))
        return 181;
    if (Is<ShadowsHighlightsAdjustmentRasterNode>(layer))
        return 209;
    if (Is<ThresholdAdjustmentRasterNode>(layer))
        return 184;
    if (Is<VibranceAdjustmentRasterNode>(layer))
        return 179;
    if (Is<WhiteBalanceAdjustmentRasterNode>(layer))
        return 136;
    return kNoAdjustmentTool;
}

ToolID SelectedAdjustmentToolId(const Tool& tool) {
    const DocumentControllerSession session = tool.GetSafeDocumentController();
    const Kernel::Counted<DocumentController>& controller = session.GetDocumentController();
    if (!controller) {
        return kNoAdjustmentTool;
    }
    const Selection& selection = controller->GetSelection();
    if (selection.GetSize() != 1) {
        return kNoAdjustmentTool;
    }
    for (const Kernel::Counted<Selectable>& selected : selection) {
        if (const auto* layer =
                CachedCast<AdjustmentRasterNode, struct SelectedLayerSite>(selected.Get())) {
            return AdjustmentToolIdFor(*layer);
        }
    }
    return kNoAdjustmentTool;
}

}  // namespace Quarn::WinRT::detail
