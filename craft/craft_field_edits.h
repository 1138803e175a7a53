#pragma once

#include <array>
#include <functional>
#include <string>

#include "craft/craft_edit.h"

namespace vexlor {

// The Preview's five number fields, in the order they stand in its window.
enum class CraftField { Hull, Map, Battle, Mission, MissionLower };
inline constexpr int kCraftFieldCount = 5;

// The largest value a field holds: 65500 for the picture numbers, 255 for the settings.
int FieldMaxOf(CraftField field);

// Which number fields the user changed since the last display run. The display run fills the
// fields itself, and those changes are no edits: they happen while filling.
class CraftFieldEdits {
  public:
    // A display run starts: what the user had changed is dropped with the values it replaces.
    void BeginFilling();
    void EndFilling();
    bool Filling() const { return filling_; }

    // A field's text changed. True when that was the user's doing, which is what enables Save.
    bool Changed(CraftField field);
    bool Edited(CraftField field) const;
    // Any field changed by the user: there is something that a display run would drop.
    bool AnyEdited() const;

    // What Save writes: each field the user changed, its text `textOf(field)` read as the field
    // reads it; every other value stays as the tables hold it.
    CraftEdit Build(const std::function<std::string(CraftField)>& textOf) const;

  private:
    std::array<bool, kCraftFieldCount> edited_{};
    bool filling_ = false;
};

}  // namespace vexlor
