#include "editors/mission_series.h"

#include <cmath>
#include <limits>

namespace vexlor {

namespace {

constexpr SeriesInfo kBattle = {Series::Battle, "BATTLE",     2000, 510, 260,
                                "BATTLE_",      "BATTLE id:", 99};
// MISSION numbers stop at 998: 999 + 1 would be identifier 1000, the first of the small series.
constexpr SeriesInfo kMission = {Series::Mission, "MISSION",     1,  260, 260,
                                 "MISSION_",      "MISSION id:", 998};
constexpr SeriesInfo kMissionLower = {Series::MissionLower, "mission",     1000, 100, 75,
                                      "sMISSION_",          "mission id:", 999};

}  // namespace

const SeriesInfo& InfoOf(Series series) {
    switch (series) {
        case Series::Battle:
            return kBattle;
        case Series::Mission:
            return kMission;
        case Series::MissionLower:
            break;
    }
    return kMissionLower;
}

Series SeriesOfIdentifier(int identifier) {
    if (identifier >= 2000 && identifier <= 2099) {
        return Series::Battle;
    }
    if (identifier >= 1000 && identifier <= 1999) {
        return Series::MissionLower;
    }
    return Series::Mission;
}

std::string NameOfIdentifier(int identifier) {
    const SeriesInfo& info = InfoOf(SeriesOfIdentifier(identifier));
    return std::string(info.word) + " " + std::to_string(identifier - info.offset);
}

std::optional<Series> SeriesOfWidth(int width) {
    for (Series s : {Series::Battle, Series::Mission, Series::MissionLower}) {
        if (InfoOf(s).width == width) {
            return s;
        }
    }
    return std::nullopt;
}

Series SeriesForPictureSize(int width, int height) {
    constexpr Series kAll[] = {Series::Battle, Series::Mission, Series::MissionLower};
    for (Series s : kAll) {
        if (InfoOf(s).width == width && InfoOf(s).height == height) {
            return s;
        }
    }
    if (width <= 0 || height <= 0) {
        return Series::Mission;
    }
    const double proportions = std::log(static_cast<double>(width) / height);
    Series nearest = Series::Battle;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (Series s : kAll) {
        const double distance = std::abs(
            proportions - std::log(static_cast<double>(InfoOf(s).width) / InfoOf(s).height));
        if (distance < nearestDistance) {
            nearest = s;
            nearestDistance = distance;
        }
    }
    return nearest;
}

std::optional<Series> SeriesOfName(const std::string& name) {
    for (Series s : {Series::Battle, Series::Mission, Series::MissionLower}) {
        if (name == InfoOf(s).word) {
            return s;
        }
    }
    return std::nullopt;
}

std::optional<Series> SeriesOfWord(const std::string& word) {
    if (word.empty()) {
        return std::nullopt;
    }
    switch (word[0]) {
        case 'B':
            return Series::Battle;
        case 'M':
            return Series::Mission;
        case 'm':
            return Series::MissionLower;
        default:
            return std::nullopt;
    }
}

int SeriesHighest::Of(Series series) const {
    switch (series) {
        case Series::Battle:
            return battle;
        case Series::Mission:
            return mission;
        case Series::MissionLower:
            break;
    }
    return missionLower;
}

}  // namespace vexlor
