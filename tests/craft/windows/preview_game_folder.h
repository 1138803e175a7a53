#pragma once

#include <filesystem>
#include <string>

#include "library/images.h"
#include "tests/craft/craft_test_files.h"

namespace vexlor::test {

// A game folder as the Preview reads it: an executable stand-in of the real size with "2.02"
// at its version offset, strings.txt with the marker line, resdata.txt, and HULL, MAP and SHIP
// libraries under "resdata" that hold craft 1's pictures. The resource list names the libraries
// in lower case, as the game's own list does not, so that the upper-case labels show.
class PreviewGameFolder {
  public:
    static constexpr std::uint16_t kCraft1Hull = 700;
    static constexpr std::uint16_t kCraft1Map = 1300;
    static constexpr int kCraft1Slot = 9;
    static constexpr std::uint16_t kCraft3Hull = 65535;  // above what a field shows
    static constexpr std::uint16_t kCraft100Map = 1400;
    static constexpr Colour kHullColour = MakeColour(200, 40, 40);
    static constexpr Colour kMapColour = MakeColour(40, 200, 40);
    static constexpr Colour kShipColour = MakeColour(40, 40, 200);

    explicit PreviewGameFolder(const std::filesystem::path& folder) : folder_(folder) {
        std::filesystem::create_directories(folder_ / "resdata");
        WriteExecutable();
        WriteText("strings.txt",
                  "[craft]\r\nnames:!KSPECXW!X-Wing\r\ncraft:Y-Wing\r\nA-Wing\r\n:\r\n");
        WriteText("resdata.txt",
                  "resdata\\missing.dat\r\nresdata\\hull.dat\r\nresdata\\map.dat\r\n"
                  "resdata\\ship.dat\r\n");
        MakeHullLibrary(Library("HULL.DAT"), {{kCraft1Hull, kHullColour}});
        MakeMapLibrary(Library("MAP.DAT"), {{kCraft1Map, kMapColour}, {kCraft100Map, kMapColour}});
        MakeShipLibrary(Library("SHIP.DAT"),
                        {{static_cast<std::uint16_t>(20000 + kCraft1Slot), kShipColour}});
    }

    // With the final separator, as the program holds it.
    std::string Path() const { return folder_.string() + "/"; }
    std::filesystem::path Executable() const { return folder_ / "xwingalliance.exe"; }
    const Bytes& ExecutableOriginal() const { return executable_; }
    std::string Library(const std::string& name) const {
        return (folder_ / "resdata" / name).string();
    }
    void WriteText(const std::string& name, const std::string& text) const {
        WriteFileBytes(folder_ / name, Bytes(text.begin(), text.end()));
    }

  private:
    void WriteExecutable() {
        executable_ = ExecutableBytes();
        ClearShipSlots(executable_);
        SetEntry(executable_, exe::kHull, 1, kCraft1Hull);
        SetEntry(executable_, exe::kMap, 1, kCraft1Map);
        SetEntry(executable_, exe::kShipSlots, kCraft1Slot, 1);
        SetEntry(executable_, exe::kHull, 3, kCraft3Hull);
        SetEntry(executable_, exe::kMap, 100, kCraft100Map);
        executable_[exe::kBattle] = 1;
        executable_[exe::kMission] = 2;
        executable_[exe::kMissionLower] = 3;
        WriteFileBytes(Executable(), executable_);
    }

    std::filesystem::path folder_;
    Bytes executable_;
};

}  // namespace vexlor::test
