#pragma once
// The sample host a simulator session drives, built from a JSON host description: the
// document (its history and the selections a script can make), its tools, and each tool's
// dial-able items with the attributes the editor would give them.
//
//   {
//     "window": [100, 50, 1380, 850],                 // left, top, right, bottom (screen)
//     "history": ["Open", "Brush stroke"],  "historyPosition": 2,
//     "units": {"length": "pixels", "angle": "degrees", "dpi": 96},
//     "selections": {"levels": [{"layer": "levels", "name": "Levels 1"}]},
//     "tools": [{"name": "Paint Brush", "id": 7, "kind": "tool", "items": [
//       {"kind": "double", "id": "size", "name": "Size", "value": 24, "range": [1, 500],
//        "icon": "brush_size", "sensitivity": 1.5, "nonLinear": 2.0, "default": true}
//     ]}]
//   }
//
// Item kinds: double, float, int, unit, bool, enum, group, history, view-rotation,
// blend-mode, position. docs/host-description.md gives every field with its bounds. A mistake
// is reported with the JSON path of the value at fault, and nothing is built.

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "bindings/kernel/counted.h"
#include "bindings/kernel/reflected.h"
#include "bindings/platform/win_types.h"
#include "bindings/vorta/document.h"
#include "bindings/vorta/tool.h"

namespace Quarn::WinRT::sim {

class HostDescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HostModel {
    RECT window{100, 50, 1380, 850};
    Kernel::Counted<DocumentController> document;
    // In description order; names are unique.
    std::vector<Kernel::Counted<Tool>> tools;
    std::map<std::string, Selection, std::less<>> selections;
    // Every item of every tool, group elements included, by identifier. Identifiers are unique
    // within a tool; across tools the first item with an identifier wins.
    std::map<std::uint32_t, Kernel::Counted<Kernel::Reflected>> itemsById;
    // The texts the device's menu can show for some tool: the names of the items that are not
    // the button or the position item (a group is one entry under its own name).
    std::set<std::string, std::less<>> menuEntries;
    // Names of the choices of enum items, by identifier.
    std::map<std::uint32_t, std::vector<std::string>> enumChoices;

    Kernel::Counted<Tool> FindTool(std::string_view name) const;
    Kernel::Counted<Kernel::Reflected> FindItem(std::uint32_t identifier) const;
};

// `source` names the description in messages (a file name, say).
HostModel ParseHostDescription(const std::string& json, const std::string& source);
// The same from a document ReadJson has read: a new model each call, for a caller that needs a
// fresh one many times and reads the text once.
HostModel BuildHostModel(const nlohmann::json& document, const std::string& source);
HostModel LoadHostDescription(const std::string& path);

// "size" as the four-character identifier; throws HostDescriptionError for any other text.
std::uint32_t ParseIdentifier(std::string_view text);
// Four characters from space to '~' (printable ASCII), such as "size" or "hue ".
bool IsIdentifier(std::string_view text);

// The host description's format in brief, with a minimal example, for --help.
std::string HostDescriptionHelp();

}  // namespace Quarn::WinRT::sim
