#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/craft/craft_edit.h"
#include "tools/craft/craft_pictures.h"
#include "tools/craft/craft_table_file.h"
#include "tools/craft/craft_tables.h"

namespace vexlor {

// The refusal at start-up when the executable is not the one whose tables this program knows.
inline constexpr char kBadVersionCaption[] = "Bad version";
inline constexpr char kNeedVersionMessage[] = "Need XWingAlliance 2.02";

// What a display run puts into the Preview's fields for the selected craft.
struct CraftDisplay {
    bool selected = false;      // false for a craft outside 1..218: every field stays reset
    std::optional<int> hull;    // the HULL field's value; nothing for craft 72 to 218 ("none")
    int map = 0;                // the MAP field's value
    std::string ship = "none";  // the SHIP picture number's text
    bool shipEnabled = false;   // false: no slot names the craft, the text is greyed
    int battle = 0;
    int mission = 0;
    int missionLower = 0;
    bool searched = false;  // the first run, at creation, fills the fields but searches nothing
    CraftPictures pictures;
};

// The Preview tool without its window: the craft names and tables read at creation, the display
// of a craft and the Save into the game executable.
class CraftPreview {
  public:
    // The creation's file work: the names from strings.txt and the tables from the executable in
    // `gameFolder`. False when the executable is not version 2.02: the program must then end
    // with kNeedVersionMessage.
    bool Load(const std::string& gameFolder);

    const std::vector<std::string>& Names() const { return names_; }
    const tCRAFTTABLES& Tables() const { return tables_; }

    // A display run for craft `craft` (the selected position + 1), searching the libraries that
    // `resourceLines` name from the second run on.
    CraftDisplay Display(int craft, const std::vector<std::string>& resourceLines);

    // Save: the craft's picture numbers that `edit` holds go into the tables (and stay there even
    // when the file cannot be written); the settings it holds follow once the file could be
    // opened for writing; then the tables are written. The edit carries only the fields the user
    // changed since the last display run, each as FieldValueFromText reads it. A craft outside
    // 1..218 writes nothing (CannotWrite).
    CraftTablesResult Save(int craft, const CraftEdit& edit);

  private:
    std::string ExecutablePath() const;

    std::string gameFolder_;
    std::vector<std::string> names_;
    tCRAFTTABLES tables_;
    int displayRuns_ = 0;
};

// The search for craft `craft`'s pictures with its numbers from `tables`: a HULL picture only
// for craft 1 to 71, and SHIP picture 20000 for a craft that no slot names.
CraftPictures FindPicturesOfCraft(const tCRAFTTABLES& tables, int craft,
                                  const std::vector<std::string>& resourceLines,
                                  const std::string& gameFolder);

}  // namespace vexlor
