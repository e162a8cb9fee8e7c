#include "bindings/vorta/document.h"

#include "bindings/vorta/tool.h"

Kernel::LocalisedString DocumentHistory::GetEntryName(int index) const {
    if (index < 0 || index >= GetCount()) {
        return {};
    }
    return m_entries[static_cast<std::size_t>(index)];
}

void DocumentHistory::Push(Kernel::LocalisedString name) {
    m_entries.resize(static_cast<std::size_t>(m_position));
    m_entries.push_back(std::move(name));
    m_position = GetCount();
}

bool DocumentHistory::Undo() {
    if (m_position == 0) {
        return false;
    }
    --m_position;
    return true;
}

bool DocumentHistory::Redo() {
    if (m_position == GetCount()) {
        return false;
    }
    ++m_position;
    return true;
}

bool DocumentHistory::SetIndex(int index) {
    if (index < -1 || index >= GetCount()) {
        return false;
    }
    m_position = index + 1;
    return true;
}

DocumentController::DocumentController() : m_history(Kernel::MakeCounted<DocumentHistory>()) {}

DocumentController::~DocumentController() = default;

void DocumentController::AddTool(Kernel::Counted<Tool> tool) {
    if (!tool) {
        return;
    }
    for (Kernel::Counted<Tool>& existing : m_tools) {
        if (existing->GetToolID() == tool->GetToolID()) {
            existing = std::move(tool);
            return;
        }
    }
    m_tools.push_back(std::move(tool));
}

Kernel::Counted<Tool> DocumentController::GetToolByID(ToolID id) const {
    for (const Kernel::Counted<Tool>& tool : m_tools) {
        if (tool->GetToolID() == id) {
            return tool;
        }
    }
    return {};
}
