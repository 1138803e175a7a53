#include "platform/folders.h"

namespace vexlor {

namespace {

Folders& Storage() {
    static Folders folders;
    return folders;
}

}  // namespace

const Folders& AppFolders() {
    return Storage();
}

void SetAppFolders(const Folders& folders) {
    Storage() = folders;
}

}  // namespace vexlor
