#include "demo/demo_text_files.h"

#include "craft/craft_names.h"
#include "craft/craft_tables.h"
#include "demo/craft_designs.h"

namespace vexlor::demo {

namespace {

constexpr char kLineEnd[] = "\r\n";

}  // namespace

std::string DemoStringsText() {
    std::string text;
    text +=
        "Vexlor demo strings: written by vexlor-cli demo; nothing here comes from the game.\r\n";
    text += "Only the craft names are read: the marker line names craft 1, each line after it\r\n";
    text += "the next craft, by the text after its first colon.\r\n";
    text += std::string(kCraftNamesMarker) + ":" + DemoCraftName(1) + kLineEnd;
    for (int craft = 2; craft <= kCraftCount; ++craft) {
        text += "craft:" + DemoCraftName(craft) + kLineEnd;
    }
    return text;
}

std::string DemoResourceListText(const std::vector<std::string>& libraryFileNames) {
    std::string text;
    for (const std::string& name : libraryFileNames) {
        text += "Resdata\\" + name + kLineEnd;
    }
    return text;
}

}  // namespace vexlor::demo
