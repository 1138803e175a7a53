#include "craft/craft_field_edits.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "craft/number_field.h"

namespace vexlor {
namespace {

std::size_t IndexOf(CraftField field) {
    return static_cast<std::size_t>(field);
}

}  // namespace

int FieldMaxOf(CraftField field) {
    return field == CraftField::Hull || field == CraftField::Map ? kPictureNumberFieldMax
                                                                 : kSettingFieldMax;
}

void CraftFieldEdits::BeginFilling() {
    edited_.fill(false);
    filling_ = true;
}

void CraftFieldEdits::EndFilling() {
    filling_ = false;
}

bool CraftFieldEdits::Changed(CraftField field) {
    if (filling_) {
        return false;
    }
    edited_[IndexOf(field)] = true;
    return true;
}

bool CraftFieldEdits::Edited(CraftField field) const {
    return edited_[IndexOf(field)];
}

bool CraftFieldEdits::AnyEdited() const {
    return std::find(edited_.begin(), edited_.end(), true) != edited_.end();
}

CraftEdit CraftFieldEdits::Build(const std::function<std::string(CraftField)>& textOf) const {
    auto valueOf = [&textOf](CraftField field) {
        return FieldValueFromText(textOf(field), FieldMaxOf(field));
    };
    auto picture = [&](CraftField field) -> std::optional<std::uint16_t> {
        if (!Edited(field)) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>(valueOf(field));
    };
    auto setting = [&](CraftField field) -> std::optional<std::uint8_t> {
        if (!Edited(field)) {
            return std::nullopt;
        }
        return static_cast<std::uint8_t>(valueOf(field));
    };
    CraftEdit edit;
    edit.hull = picture(CraftField::Hull);
    edit.map = picture(CraftField::Map);
    edit.battle = setting(CraftField::Battle);
    edit.mission = setting(CraftField::Mission);
    edit.missionLower = setting(CraftField::MissionLower);
    return edit;
}

}  // namespace vexlor
