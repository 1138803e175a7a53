#pragma once

#include <cstdint>

#include "library/images.h"
#include "library/records.h"

namespace vexlor {

enum class EditorKind { Hull, Map, Ship, Mission };

// Everything in which the four library editors differ by plain values.
struct KindConstants {
    EditorKind kind;
    LibraryKind editableKind;   // the LibraryKind that makes a library editable
    const char* captionPrefix;  // "HULL (" + file name + ")"
    int pictureWidth;           // picture size of Import BMP and "<- Add" (0: by series)
    int pictureHeight;
    const char* rejectionText;   // Import BMP's "Format error" message
    Colour thumbnailMask;        // HULL and MAP thumbnails: palette colour AND mask
    int thumbnailSize;           // side of the square thumbnails in the list
    const char* columnCaption;   // first list column
    Colour textColour;           // list text on black
    const char* previewCaption;  // preview panel before the first staged picture
    int previewWidth;            // preview image size
    int previewHeight;
    int suggestionFloor;    // HULL and MAP: floor of the suggested identifier's base
    std::uint16_t groupId;  // GroupId of appended records (HULL, MAP, BATTLE/MISSION)
    int spinMinimum;
    int spinMaximum;
    int spinStep;
    int spinMaxLength;  // characters the identifier field takes
};

const KindConstants& ConstantsOf(EditorKind kind);

// "hull", "map", "ship", "mission", the command line's names of the kinds.
const char* CommandNameOf(EditorKind kind);
bool EditorKindFromName(const char* name, EditorKind& kind);

}  // namespace vexlor
