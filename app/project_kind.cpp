#include "app/project_kind.h"

namespace vexlor {

std::optional<ProjectKind> ProjectKindOf(int kindNumber) {
    switch (kindNumber) {
        case 1:
            return ProjectKind{LibraryKind::Hull, EditorKind::Hull, 2};
        case 2:
            return ProjectKind{LibraryKind::Map, EditorKind::Map, 3};
        case 3:
            return ProjectKind{LibraryKind::Ship, EditorKind::Ship, 4};
        case 4:
            return ProjectKind{LibraryKind::Mission, EditorKind::Mission, 5};
        default:
            return std::nullopt;
    }
}

QString EditorCaptionOf(const ProjectKind& kind, const QString& fileName) {
    return QString::fromLatin1(ConstantsOf(kind.editor).captionPrefix) + fileName +
           QStringLiteral(")");
}

QList<FileFilter> LibraryDialogFilters() {
    return {
        {QStringLiteral("All DAT"), {QStringLiteral("*.dat")}},
        {QStringLiteral("HULLs  (hull*.dat)"), {QStringLiteral("HULL*.dat")}},
        {QStringLiteral("MAPs  (map*.dat)"), {QStringLiteral("MAP*.dat")}},
        {QStringLiteral("SHIPs  (ship*.dat)"), {QStringLiteral("SHIP*.dat")}},
        {QStringLiteral("BATTLE/MISSION (battl/mis*.dat)"),
         {QStringLiteral("MIS*.dat"), QStringLiteral("BATTL*.dat")}},
    };
}

}  // namespace vexlor
