#pragma once

#include <string>

#include <QStringList>

namespace vexlor {

class ResourceList;

// Whether `text`, "(" + file name + ")", stands in any of `captions` with exact letter case.
// Only the file name counts: the same name in another folder is taken as open.
bool IsLibraryOpen(const QStringList& captions, const QString& text);

// The letters a to z in upper case; every other byte as it is.
std::string UpperCaseAscii(std::string text);

// Enters a new library named `fileName` (bytes as the file system names it, no folder) into
// the resource list: unless a line "resdata\" + name stands there in any letter case, the line
// "Resdata\" + the name in upper case goes in front of all others. Only the held list changes;
// the user saves it. True when a line was added.
bool EnterIntoResourceList(ResourceList& list, const std::string& fileName);

}  // namespace vexlor
