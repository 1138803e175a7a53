#pragma once

#include <optional>
#include <string>

namespace vexlor {

// The three series of pictures that one BATTLE/MISSION library holds.
enum class Series { Battle, Mission, MissionLower };

struct SeriesInfo {
    Series series;
    const char* word;  // "BATTLE", "MISSION", "mission": the list's Type column
    int offset;        // identifier = picture number + offset
    int width;         // picture size
    int height;
    const char* exportPrefix;  // "BATTLE_", "MISSION_", "sMISSION_"
    const char* spinLabel;     // "BATTLE id:", ...
    // Largest picture number that keeps the identifier inside the series: 99, 998, 999.
    int maximumNumber;
};

const SeriesInfo& InfoOf(Series series);

// The series the list shows an identifier under: 2000-2099 BATTLE, 1000-1999 mission, and every
// other identifier (0 and 2100 up included) MISSION.
Series SeriesOfIdentifier(int identifier);
// A picture as the list names it: its series word and its number within the series ("MISSION 1"
// for identifier 2).
std::string NameOfIdentifier(int identifier);
// The series of a picture of that width (510, 260, 100); none for other widths.
std::optional<Series> SeriesOfWidth(int width);
// The series that a picture of that size is imported into: the one it has the size of, else the
// one whose proportions are nearest its own.
Series SeriesForPictureSize(int width, int height);
// The series a word names exactly: "BATTLE", "MISSION" or "mission".
std::optional<Series> SeriesOfName(const std::string& name);

// The series named by the first letter of a Type word: "B", "M", "m".
std::optional<Series> SeriesOfWord(const std::string& word);

// Highest picture number in use per series after a Refresh: (largest identifier of the
// series' range) - offset, which is -2000, -1 and -1000 for an empty series.
struct SeriesHighest {
    int battle = -2000;
    int mission = -1;
    int missionLower = -1000;

    int Of(Series series) const;
};

}  // namespace vexlor
