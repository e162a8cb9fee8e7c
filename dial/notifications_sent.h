#pragma once
// The notifications the dial sends the host, each built on the current tool's document.

#include <cstdint>

#include "bindings/kernel/point.h"
#include "bindings/vorta/notifications.h"

// The dial changed the tool's parameters; the host refreshes its preview.
class ToolParametersChangedNotification : public DocumentNotification {
public:
    ToolParametersChangedNotification(Kernel::Counted<DocumentController> controller,
                                      std::int32_t toolValue)
        : DocumentNotification(std::move(controller), false), value(toolValue) {}

    bool RequiredForPreviewing() const override { return true; }

    std::int32_t value;
};

namespace Corvanta {

// Recommends rotating the view by `angle` degrees about `pivot` (when `hasPivot`).
class RecommendViewRotationNotification : public DocumentNotification {
public:
    RecommendViewRotationNotification(Kernel::Counted<DocumentController> controller,
                                      double rotationAngle, Kernel::PointT<double> rotationPivot,
                                      bool pivotValid)
        : DocumentNotification(std::move(controller), false),
          angle(rotationAngle),
          pivot(rotationPivot),
          hasPivot(pivotValid) {}

    double angle;
    Kernel::PointT<double> pivot;
    bool hasPivot;
};

// Recommends resetting the view's rotation.
class RecommendResetViewRotationNotification : public DocumentNotification {
public:
    explicit RecommendResetViewRotationNotification(Kernel::Counted<DocumentController> controller)
        : DocumentNotification(std::move(controller), false) {}
};

}  // namespace Corvanta
