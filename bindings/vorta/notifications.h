#pragma once
// The raster editor's document notifications, posted through the VortaController.

#include <utility>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/notification.h"
#include "bindings/vorta/document.h"

class DocumentNotification : public Kernel::Notification {
public:
    DocumentNotification(Kernel::Counted<DocumentController> controller, bool flag)
        : m_controller(std::move(controller)), m_flag(flag) {}

    const Kernel::Counted<DocumentController>& GetDocumentController() const noexcept {
        return m_controller;
    }
    bool GetFlag() const noexcept { return m_flag; }

private:
    Kernel::Counted<DocumentController> m_controller;
    bool m_flag;
};

// The selection changed; a temporary one (during a drag, say) is about to change again.
class NewSelectionNotification : public DocumentNotification {
public:
    NewSelectionNotification(Kernel::Counted<DocumentController> controller, bool flag,
                             bool temporary)
        : DocumentNotification(std::move(controller), flag), isTemporary(temporary) {}

    bool isTemporary;
};

class DocumentHistoryChangedNotification : public DocumentNotification {
public:
    using DocumentNotification::DocumentNotification;
};

class AdjustmentNodeParametersChangedNotification : public DocumentNotification {
public:
    using DocumentNotification::DocumentNotification;
};
