#pragma once
// The raster editor's document as the dial sees it: the undo history, the selected layers and
// the controller that owns the document's tools.
//
// Thread rule: as for reflected items, these are read and written on the host thread.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/localised_string.h"

class Tool;
using ToolID = std::int32_t;

// The document's undo history: named entries and how many of them are applied.
class DocumentHistory : public Kernel::Countable {
public:
    int GetCount() const noexcept { return static_cast<int>(m_entries.size()); }
    // Entries applied, 0..count: 0 is the document before the first entry.
    int GetPosition() const noexcept { return m_position; }
    // Empty for an index outside 0..count-1.
    Kernel::LocalisedString GetEntryName(int index) const;

    // Records a new step: the undone entries after the position are dropped first, as an
    // editor's history does, and the new entry is applied.
    void Push(Kernel::LocalisedString name);
    // Each is false, and changes nothing, at its end of the history.
    bool Undo();
    bool Redo();
    // Moves so that entry `index` is the last applied one; -1 is before the first entry. An
    // index outside -1..count-1 is refused (false) and the position stays.
    bool SetIndex(int index);

private:
    std::vector<Kernel::LocalisedString> m_entries;
    int m_position = 0;
};

// Anything the user can select in a document.
class Selectable : public Kernel::Countable {
public:
    explicit Selectable(Kernel::LocalisedString name = {}) : m_name(std::move(name)) {}
    ~Selectable() override = default;

    const Kernel::LocalisedString& GetName() const noexcept { return m_name; }

private:
    Kernel::LocalisedString m_name;
};

class RasterNode : public Selectable {
public:
    using Selectable::Selectable;
};

// A pixel layer.
class PixelRasterNode : public RasterNode {
public:
    using RasterNode::RasterNode;
};

// A layer that adjusts the layers below it; each kind has a class of its own.
class AdjustmentRasterNode : public RasterNode {
public:
    using RasterNode::RasterNode;
};

class BlackAndWhiteAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class BrightnessContrastAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class ColourBalanceAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class CurvesAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class ExposureAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class HSLShiftAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class LevelsAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class PosteriseAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class RecolourAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class SplitToningAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class ShadowsHighlightsAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class ThresholdAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class VibranceAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
class WhiteBalanceAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};
// An adjustment the dial has no tool for.
class GradientMapAdjustmentRasterNode : public AdjustmentRasterNode {
public:
    using AdjustmentRasterNode::AdjustmentRasterNode;
};

// The selected objects of a document, in selection order. Empty references are not kept, so
// every element can be dereferenced.
class Selection {
public:
    using Items = std::vector<Kernel::Counted<Selectable>>;
    using const_iterator = Items::const_iterator;

    std::size_t GetSize() const noexcept { return m_items.size(); }
    const_iterator begin() const noexcept { return m_items.begin(); }
    const_iterator end() const noexcept { return m_items.end(); }

    void Add(Kernel::Counted<Selectable> item) {
        if (item) {
            m_items.push_back(std::move(item));
        }
    }
    void Clear() noexcept { m_items.clear(); }

private:
    Items m_items;
};

// Owns a document's selection, history and tools. Tools are held strongly here and refer back
// weakly, so a controller and its tools never keep each other alive.
class DocumentController : public Kernel::Countable {
public:
    DocumentController();
    ~DocumentController() override;
    DocumentController(const DocumentController&) = delete;
    DocumentController& operator=(const DocumentController&) = delete;

    const Selection& GetSelection() const noexcept { return m_selection; }
    void SetSelection(Selection selection) { m_selection = std::move(selection); }

    // Never empty.
    Kernel::Counted<DocumentHistory> GetHistory() const { return m_history; }

    // A document has one tool per identifier: a tool whose identifier is already taken
    // replaces the one there. An empty reference is ignored.
    void AddTool(Kernel::Counted<Tool> tool);
    // Empty when no tool has the identifier.
    Kernel::Counted<Tool> GetToolByID(ToolID id) const;

private:
    Selection m_selection;
    Kernel::Counted<DocumentHistory> m_history;
    std::vector<Kernel::Counted<Tool>> m_tools;
};

// Access to a document through its controller for the span of one operation. The sample host
// takes no document lock, so this only carries the (possibly empty) controller.
class DocumentControllerSession {
public:
    DocumentControllerSession() = default;
    explicit DocumentControllerSession(Kernel::Counted<DocumentController> controller)
        : m_controller(std::move(controller)) {}

    const Kernel::Counted<DocumentController>& GetDocumentController() const noexcept {
        return m_controller;
    }

private:
    Kernel::Counted<DocumentController> m_controller;
};
