#include "app/project_rules.h"

#include <algorithm>

#include "resources/resource_list.h"

namespace vexlor {

bool IsLibraryOpen(const QStringList& captions, const QString& text) {
    return std::any_of(captions.begin(), captions.end(), [&text](const QString& caption) {
        return caption.contains(text, Qt::CaseSensitive);
    });
}

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool EnterIntoResourceList(ResourceList& list, const std::string& fileName) {
    if (list.IndexOfLine("resdata\\" + fileName) >= 0) {
        return false;
    }
    list.InsertFirstLine("Resdata\\" + UpperCaseAscii(fileName));
    return true;
}

}  // namespace vexlor
