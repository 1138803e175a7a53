#pragma once

#include <string>

#include "library/records.h"

namespace vexlor {

// Writes the empty library of a kind, replacing the file. True only when every byte was written.
bool CreateHullLibrary(const std::string& path);
bool CreateMapLibrary(const std::string& path);
bool CreateShipLibrary(const std::string& path);
bool CreateMissionLibrary(const std::string& path);
bool CreateLibrary(LibraryKind kind, const std::string& path);
// The bytes of the empty library of a kind.
std::string EmptyLibraryBytes(LibraryKind kind);

// Whether a file is a library of a kind: the signature, then LibraryKind, then (except for
// BATTLE/MISSION) the first group's GroupId for libraries this system did not make.
bool IsHullLibrary(const std::string& path);
bool IsMapLibrary(const std::string& path);
bool IsShipLibrary(const std::string& path);
bool IsMissionLibrary(const std::string& path);
bool IsLibraryOfKind(LibraryKind kind, const std::string& path);

}  // namespace vexlor
