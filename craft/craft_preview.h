#pragma once

#include <optional>
#include <string>
#include <vector>

#include "craft/craft_edit.h"
#include "craft/craft_pictures.h"
#include "craft/craft_table_file.h"
#include "craft/craft_tables.h"

namespace vexlor {

// The refusal at start-up when the executable is not the one whose tables this program knows.
inline constexpr char kBadVersionCaption[] = "Bad version";
inline constexpr char kNeedVersionMessage[] = "Need XWingAlliance 2.02";

enum class CraftRestoreResult {
    Ok,
    NoBackup,
    BackupWrongVersion,    // the backup is not version 2.02; the executable was left alone
    CannotWrite,           // the executable could not be replaced and was left as it was
    RestoredWrongVersion,  // restored, but what is there now is not version 2.02
    HardLinked,            // the executable has other hard links and was left as it was
};

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
    // 1..218 writes nothing (CannotWrite). The first Save of the run that changes a byte of the
    // executable first makes its backup; when that fails nothing is written (BackupFailed).
    CraftTablesResult Save(int craft, const CraftEdit& edit);

    std::string ExecutablePath() const;
    // Where the backup is, or would be made, beside the executable.
    std::string BackupPath() const;
    bool HasBackup() const;

    // Gives the executable the backup's content and reads the tables again from it. The backup
    // must be version 2.02 itself; on any failure the tables stay as they were.
    CraftRestoreResult RestoreBackup();

  private:
    // Makes the backup before the first change of the run; Ok when none is needed.
    CraftTablesResult BackUpBefore(const tCRAFTTABLES& written);

    std::string gameFolder_;
    std::vector<std::string> names_;
    tCRAFTTABLES tables_;
    int displayRuns_ = 0;
    // A backup was made or found this run, so later changes need none.
    bool backedUp_ = false;
};

// The search for craft `craft`'s pictures with its numbers from `tables`: a HULL picture only
// for craft 1 to 71, and SHIP picture 20000 for a craft that no slot names.
CraftPictures FindPicturesOfCraft(const tCRAFTTABLES& tables, int craft,
                                  const std::vector<std::string>& resourceLines,
                                  const std::string& gameFolder);

}  // namespace vexlor
