#pragma once

#include <optional>
#include <string>

#include "editors/kind_constants.h"
#include "editors/library_editor_logic.h"
#include "editors/mission_series.h"
#include "pictures/picture_conversion.h"

namespace vexlor {

// The size a picture file is converted to for a kind's library, and for BATTLE/MISSION the
// series that size belongs to.
struct ImportSize {
    int width = 0;
    int height = 0;
    std::optional<Series> series;
};

// The kind's size; for BATTLE/MISSION the size of `series`, or when none is given of the series
// that a `sourceWidth` x `sourceHeight` picture goes to.
ImportSize ImportSizeFor(EditorKind kind, std::optional<Series> series, int sourceWidth,
                         int sourceHeight);

// The size of a record's picture, which Replace keeps; for BATTLE/MISSION with its series.
ImportSize ImportSizeOfRecord(EditorKind kind, int width, int height);

// The options as the kind converts with them: HULL and MAP in shades.
ConversionOptions ConversionOptionsFor(EditorKind kind, ConversionOptions options);

// A converted picture as "<- Add" and Replace take it.
inline ImageToAdd StageConverted(const ConvertedPicture& converted) {
    return ImageToAdd(converted.image, true);
}

// A picture file read and converted for a kind: what Import image stages.
struct PictureImport {
    std::optional<ConvertedPicture> converted;
    ImportSize size;
    std::string error;  // why nothing was converted, naming the file
};

PictureImport ImportPictureFile(const std::string& path, EditorKind kind,
                                std::optional<Series> series, const ConversionOptions& options);

}  // namespace vexlor
