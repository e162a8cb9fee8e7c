#pragma once
// The raster editor's tools. A tool's dial items are its reflected items; it reaches its
// document through the controller, which it refers to weakly (the controller owns the tool).

#include <cstdint>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/localised_string.h"
#include "bindings/kernel/reflected.h"
#include "bindings/kernel/units.h"
#include "bindings/vorta/document.h"

using ToolID = std::int32_t;

class Tool : public Kernel::Reflectable {
public:
    Tool(ToolID id, Kernel::LocalisedString name, Kernel::Counted<DocumentController> controller);
    ~Tool() override;

    virtual std::int32_t GetToolID() const { return m_id; }
    const Kernel::LocalisedString& GetName() const noexcept { return m_name; }

    // Never empty: the host's default units until SetUserUnits gives others.
    Kernel::Counted<const Kernel::UserUnits> GetUserUnits() const { return m_userUnits; }
    // An empty reference puts the default units back.
    void SetUserUnits(Kernel::Counted<const Kernel::UserUnits> units);

    // Both are empty once the controller has gone. The safe one is for work on the document;
    // the unsafe one only for identity checks.
    DocumentControllerSession GetSafeDocumentController() const;
    Kernel::Counted<DocumentController> GetUnsafeDocumentController() const;

    // The controller's history; without a controller the history reads empty and setting the
    // index does nothing.
    virtual int GetHistoryCount() const;
    virtual int GetHistoryPosition() const;
    virtual Kernel::LocalisedString GetHistoryEntryName(int index) const;
    // Moves the history so that entry `index` is the last applied (-1: before the first). Every
    // request that reaches a controller is reported to the VortaObserver, refused or not.
    virtual void SetHistoryIndex(int index);

private:
    Kernel::Counted<DocumentHistory> History() const;

    ToolID m_id;
    Kernel::LocalisedString m_name;
    Kernel::WeakCounted<DocumentController> m_controller;
    Kernel::Counted<const Kernel::UserUnits> m_userUnits;
};

// A tool that edits the parameters of an adjustment layer.
class AdjustmentTool : public Tool {
public:
    using Tool::Tool;

    // Re-reads the layer's parameters into the tool; reported to the VortaObserver.
    virtual void RefreshParameters();
};

class ShapeTool : public Tool {
public:
    using Tool::Tool;
};
