#include "platform/qt_file_filters.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

namespace vexlor {
namespace {

const QList<FileFilter> kLibraryFilters{
    {"All DAT", {"*.dat"}},
    {"HULLs  (hull*.dat)", {"HULL*.dat"}},
    {"BATTLE/MISSION (battl/mis*.dat)", {"MIS*.dat", "BATTL*.dat"}}};

// What a Qt file dialog makes of one entry: the patterns inside the last parentheses.
QStringList PatternsOf(const QString& nameFilter) {
    static const QRegularExpression lastParentheses(QStringLiteral("^(.*)\\(([^()]*)\\)$"));
    const QRegularExpressionMatch match = lastParentheses.match(nameFilter);
    return match.hasMatch() ? match.captured(2).split(QLatin1Char(' ')) : QStringList{};
}

// Matched as the file list of Qt's own dialog matches them: without regard to letter case.
bool Matches(const QString& nameFilter, const QString& fileName) {
    for (const QString& pattern : PatternsOf(nameFilter)) {
        const QRegularExpression expression(
            QRegularExpression::wildcardToRegularExpression(pattern),
            QRegularExpression::CaseInsensitiveOption);
        if (expression.match(fileName).hasMatch()) {
            return true;
        }
    }
    return false;
}

TEST(QtNameFilters, KeepsTheLabelsAndTheirOrder) {
    const QStringList filters = QtNameFilters(kLibraryFilters);
    ASSERT_EQ(filters.size(), 3);
    EXPECT_TRUE(filters[0].startsWith("All DAT ("));
    EXPECT_TRUE(filters[1].startsWith("HULLs  (hull*.dat) ("));
    EXPECT_TRUE(filters[2].startsWith("BATTLE/MISSION (battl/mis*.dat) ("));
    EXPECT_EQ(PatternsOf(filters[2]).size(), 2);
}

TEST(QtNameFilters, PatternsFindTheGamesFilesInAnyLetterCase) {
    const QStringList filters = QtNameFilters(kLibraryFilters);
    for (const char* name : {"HULL.DAT", "hull.dat", "Hull2.Dat"}) {
        EXPECT_TRUE(Matches(filters[1], name)) << name;
        EXPECT_TRUE(Matches(filters[0], name)) << name;
    }
    for (const char* name : {"mission.dat", "BATTLE1.DAT", "Mis9.dat"}) {
        EXPECT_TRUE(Matches(filters[2], name)) << name;
    }
    EXPECT_FALSE(Matches(filters[1], "map.dat"));
    EXPECT_FALSE(Matches(filters[1], "hull.bmp"));
    EXPECT_FALSE(Matches(filters[2], "ship.dat"));
}

}  // namespace
}  // namespace vexlor
