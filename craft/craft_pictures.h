#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/images.h"

namespace vexlor {

// One picture of a craft as the Preview shows it.
struct CraftPicture {
    std::string library;       // the library's file name in upper case, without its folder
    TrueColourImage image;     // empty when the record's size cannot be drawn
    std::uint32_t width = 0;   // the record's BlockWidth
    std::uint32_t height = 0;  // the record's BlockHeight
};

// What the search found; a kind that was not found holds nothing.
struct CraftPictures {
    std::optional<CraftPicture> hull;
    std::optional<CraftPicture> map;
    std::optional<CraftPicture> ship;
};

// Searches the libraries that the resource list `lines` name below `gameFolder` for a craft's
// pictures: the HULL picture whose PictureId is `wantedHull` (none is wanted for craft 72 to
// 218), the MAP picture whose PictureId is `wantedMap` and the SHIP picture whose GroupId is
// `wantedShip`. The lines are searched in order and, within a line, the kinds still wanted in
// the order HULL, MAP, SHIP, each only when the file passes that kind's test; a file that then
// cannot be opened ends the line. The first matching record wins. Only the match's palette and
// pixels are read, and a library cut short is searched as far as it goes.
CraftPictures FindCraftPictures(const std::vector<std::string>& lines,
                                const std::string& gameFolder,
                                std::optional<std::uint16_t> wantedHull, std::uint16_t wantedMap,
                                std::uint16_t wantedShip);

// The file name part of a resource list line (after its last '\', '/' or drive colon) with the
// letters a to z in upper case.
std::string LibraryFileNameOf(std::string_view line);

}  // namespace vexlor
