#include "bindings/vorta/tool.h"

#include <utility>

#include "bindings/vorta/host_events.h"

namespace {

Kernel::Counted<const Kernel::UserUnits> DefaultUserUnits() {
    return Kernel::MakeCounted<const Kernel::UserUnits>();
}

}  // namespace

Tool::Tool(ToolID id, Kernel::LocalisedString name, Kernel::Counted<DocumentController> controller)
    : m_id(id),
      m_name(std::move(name)),
      m_controller(controller),
      m_userUnits(DefaultUserUnits()) {}

Tool::~Tool() = default;

void Tool::SetUserUnits(Kernel::Counted<const Kernel::UserUnits> units) {
    m_userUnits = units ? std::move(units) : DefaultUserUnits();
}

DocumentControllerSession Tool::GetSafeDocumentController() const {
    return DocumentControllerSession(m_controller.Lock());
}

Kernel::Counted<DocumentController> Tool::GetUnsafeDocumentController() const {
    return m_controller.Lock();
}

Kernel::Counted<DocumentHistory> Tool::History() const {
    const Kernel::Counted<DocumentController> controller = m_controller.Lock();
    return controller ? controller->GetHistory() : Kernel::Counted<DocumentHistory>();
}

int Tool::GetHistoryCount() const {
    const Kernel::Counted<DocumentHistory> history = History();
    return history ? history->GetCount() : 0;
}

int Tool::GetHistoryPosition() const {
    const Kernel::Counted<DocumentHistory> history = History();
    return history ? history->GetPosition() : 0;
}

Kernel::LocalisedString Tool::GetHistoryEntryName(int index) const {
    const Kernel::Counted<DocumentHistory> history = History();
    return history ? history->GetEntryName(index) : Kernel::LocalisedString();
}

void Tool::SetHistoryIndex(int index) {
    const Kernel::Counted<DocumentHistory> history = History();
    if (!history) {
        return;
    }
    history->SetIndex(index);
    NotifyHistoryIndexSet(*this, index);
}

void AdjustmentTool::RefreshParameters() {
    NotifyRefreshParameters(*this);
}
