#include "cli/any_library_commands.h"

#include <optional>
#include <string>
#include <vector>

#include "browser/library_browser_edit.h"
#include "cli/import_commands.h"
#include "editors/library_editor_logic.h"
#include "library/any_library_edit.h"
#include "library/picture_size.h"
#include "library/records.h"
#include "pictures/picture_conversion.h"
#include "pictures/picture_files.h"
#include "platform/state_folder.h"

namespace vexlor::cli {

namespace {

std::optional<int> ParseInRange(const std::string& text, int lowest, int highest) {
    const auto value = ParseInteger(text);
    if (!value || *value < lowest || *value > highest) {
        return std::nullopt;
    }
    return value;
}

// G and P from the argument at `first` on; nothing, with `usageStatus` set, when one is not an
// identifier.
std::optional<RecordName> ParseName(const Invocation& invocation, std::size_t first,
                                    int& usageStatus, const char* group = "G",
                                    const char* picture = "P") {
    std::uint16_t ids[2] = {0, 0};
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string& text = invocation.arguments[first + k];
        const auto value = ParseInRange(text, 0, 0xFFFF);
        if (!value) {
            usageStatus = invocation.UsageError(std::string(k == 0 ? group : picture) +
                                                " must be a number from 0 to 65535: " + text);
            return std::nullopt;
        }
        ids[k] = static_cast<std::uint16_t>(*value);
    }
    return RecordName{ids[0], ids[1]};
}

// How add and set store the picture: the options that change it from the defaults.
struct PictureOptions {
    ConversionOptions conversion;
    std::optional<std::uint16_t> format;
    std::optional<std::pair<int, int>> size;
};

std::optional<PictureOptions> ParsePictureOptions(const Invocation& invocation, int& usageStatus) {
    PictureOptions options;
    const auto conversion = ParseConversionOptions(invocation, usageStatus);
    if (!conversion) {
        return std::nullopt;
    }
    options.conversion = *conversion;
    if (const auto format = invocation.Option("--format")) {
        if (*format != "23" && *format != "24") {
            usageStatus = invocation.UsageError("--format must be 23 or 24: " + *format);
            return std::nullopt;
        }
        options.format = *format == "23" ? kRunLengthFormat : kIndexAlphaFormat;
    }
    if (const auto size = invocation.PairOption("--size")) {
        const auto width = ParseInRange(size->first, 1, kMaxPictureSide);
        const auto height = ParseInRange(size->second, 1, kMaxPictureSide);
        if (!width || !height) {
            usageStatus = invocation.UsageError("--size W H must be two numbers from 1 to " +
                                                std::to_string(kMaxPictureSide) + ": " +
                                                size->first + " " + size->second);
            return std::nullopt;
        }
        options.size = std::pair{*width, *height};
    }
    return options;
}

int Refused(const std::string& message) {
    PrintError(message + "\n");
    return kExitFailure;
}

bool IsWritten(std::uint16_t format) {
    return format == kRunLengthFormat || format == kIndexAlphaFormat;
}

std::optional<RgbaPicture> ReadImage(const std::string& image) {
    RgbaPicture picture;
    std::string error;
    if (!ReadPictureFile(image, picture, error)) {
        Refused(error);
        return std::nullopt;
    }
    return picture;
}

int Made(const AnyEditOutcome& outcome, const std::string& printed) {
    if (!outcome.done) {
        return Refused(outcome.message);
    }
    PrintOut(printed + "\n");
    return kExitSuccess;
}

// Add and set: the arguments FILE G P IMAGE and the picture options.
struct PictureCommand {
    std::string path;
    RecordName name;
    std::string image;
    PictureOptions options;
};

std::optional<PictureCommand> ParsePictureCommand(const Invocation& invocation, int& status) {
    status = kExitUsage;
    const auto name = ParseName(invocation, 1, status);
    if (!name) {
        return std::nullopt;
    }
    const auto options = ParsePictureOptions(invocation, status);
    if (!options) {
        return std::nullopt;
    }
    return PictureCommand{invocation.arguments[0], *name, invocation.arguments[3], *options};
}

// What the library gives a picture of add or set where the options do not: its format, its
// size, and the words that name whose format it is when Vexlor does not write that one.
struct PictureDefaults {
    std::uint16_t format;
    std::pair<int, int> size;
    std::string holder;
};

// The picture is read before the library, and converted under the journal's lock once the
// library is read, so that the command reads the library once.
template <typename Defaults, typename Plan>
int RunPictureEdit(const Invocation& invocation, Defaults defaultsOf, Plan plan) {
    int status = kExitUsage;
    const auto command = ParsePictureCommand(invocation, status);
    if (!command) {
        return status;
    }
    const auto picture = ReadImage(command->image);
    if (!picture) {
        return kExitFailure;
    }
    const auto make = [&](const RecordLookup& lookup, std::string& refusal) {
        const PictureDefaults defaults = defaultsOf(*command, *picture, lookup);
        const std::uint16_t format = command->options.format.value_or(defaults.format);
        if (!IsWritten(format)) {
            refusal = defaults.holder + " format " + std::to_string(format) +
                      ", which Vexlor does not write; give --format 23 or 24";
            return std::optional<StoredPicture>();
        }
        const auto [width, height] = command->options.size.value_or(defaults.size);
        return StorePicture(command->image, *picture, width, height, format,
                            command->options.conversion, refusal);
    };
    const AnyEditOutcome outcome =
        MakeAnyEdit(JournalFolder(), command->path,
                    [&](const std::string& library) { return plan(library, command->name, make); });
    return Made(outcome, NameText(command->name));
}

}  // namespace

int RunAdd(const Invocation& invocation) {
    return RunPictureEdit(
        invocation,
        [](const PictureCommand& command, const RgbaPicture& picture, const RecordLookup& lookup) {
            return PictureDefaults{
                lookup.groupFormat.value_or(kRunLengthFormat),
                {picture.width, picture.height},
                "The records of group " + std::to_string(command.name.groupId) + " have"};
        },
        [](const std::string& library, const RecordName& name, const auto& make) {
            return PlanAddRecord(library, name, make);
        });
}

int RunSet(const Invocation& invocation) {
    return RunPictureEdit(
        invocation,
        [](const PictureCommand& command, const RgbaPicture&, const RecordLookup& lookup) {
            return PictureDefaults{
                lookup.record.PictureFormat,
                {SideOf(lookup.record.BlockWidth), SideOf(lookup.record.BlockHeight)},
                "The record " + NameText(command.name) + " has"};
        },
        [](const std::string& library, const RecordName& name, const auto& make) {
            return PlanSetRecord(library, name, make);
        });
}

int RunRemove(const Invocation& invocation) {
    if (invocation.arguments.size() % 2 == 0) {
        return invocation.UsageError("G and P come in pairs");
    }
    int status = kExitUsage;
    std::vector<RecordName> names;
    for (std::size_t first = 1; first < invocation.arguments.size(); first += 2) {
        const auto name = ParseName(invocation, first, status);
        if (!name) {
            return status;
        }
        names.push_back(*name);
    }
    const std::string& path = invocation.arguments[0];
    const AnyEditOutcome outcome =
        MakeAnyEdit(JournalFolder(), path,
                    [&](const std::string& library) { return PlanRemoveRecords(library, names); });
    return Made(outcome, std::to_string(names.size()));
}

int RunRename(const Invocation& invocation) {
    int status = kExitUsage;
    const auto from = ParseName(invocation, 1, status);
    if (!from) {
        return status;
    }
    const auto to = ParseName(invocation, 3, status, "G2", "P2");
    if (!to) {
        return status;
    }
    const AnyEditOutcome outcome = MakeAnyEdit(
        JournalFolder(), invocation.arguments[0],
        [&](const std::string& library) { return PlanRenameRecord(library, *from, *to); });
    return Made(outcome, NameText(*to));
}

}  // namespace vexlor::cli
