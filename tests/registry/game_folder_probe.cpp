// Prints what this build finds of the game's registry entry and the game folder that discovery
// makes of it, for the test that compares a Windows build run inside Wine with a Linux build
// reading the same prefix from outside.
// Usage: game_folder_probe INI_FILE
// Output: a line "Text <value>", "Missing" or "WrongType", then a line "folder <game folder>".

#include <cstdio>
#include <string>

#include "platform/game_folder_discovery.h"
#include "platform/game_registry.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: game_folder_probe INI_FILE\n", stderr);
        return 2;
    }
    const vexlor::RegistryValue value = vexlor::ReadGameExecutable();
    switch (value.status) {
        case vexlor::RegistryValue::Status::Text:
            std::printf("Text %s\n", value.text.c_str());
            break;
        case vexlor::RegistryValue::Status::Missing:
            std::puts("Missing");
            break;
        case vexlor::RegistryValue::Status::WrongType:
            std::puts("WrongType");
            break;
    }
    const vexlor::Folders folders =
        vexlor::DiscoverFolders(argv[0], argv[1], [&value] { return value; });
    std::printf("folder %s\n", folders.game.c_str());
    return 0;
}
