#include "cli/import_commands.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "cli/editor_commands.h"
#include "editors/picture_import.h"

namespace vexlor::cli {

namespace {

std::optional<double> ParseDither(const std::string& text) {
    if (text.empty() || text.find_first_of(" \t\n") != std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value < 0.0 || value > 1.0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<ConversionOptions> ParseConversionOptions(const Invocation& invocation,
                                                        int& usageStatus) {
    ConversionOptions conversion;
    conversion.opaque = invocation.Flag("--opaque");
    if (const auto fit = invocation.Option("--fit")) {
        const auto parsed = ParseFit(*fit);
        if (!parsed) {
            usageStatus = invocation.UsageError("--fit must be contain, cover or stretch: " + *fit);
            return std::nullopt;
        }
        conversion.fit = *parsed;
    }
    if (const auto dither = invocation.Option("--dither")) {
        const auto parsed = ParseDither(*dither);
        if (!parsed) {
            usageStatus =
                invocation.UsageError("--dither must be a number from 0 to 1: " + *dither);
            return std::nullopt;
        }
        conversion.dither = *parsed;
    }
    return conversion;
}

std::optional<ImportOptions> ParseImportOptions(const Invocation& invocation, EditorKind kind,
                                                int& usageStatus) {
    ImportOptions options;
    const auto conversion = ParseConversionOptions(invocation, usageStatus);
    if (!conversion) {
        return std::nullopt;
    }
    options.conversion = *conversion;
    if (const auto series = invocation.Option("--series")) {
        options.series = SeriesOfName(*series);
        if (!options.series) {
            usageStatus =
                invocation.UsageError("--series must be BATTLE, MISSION or mission: " + *series);
            return std::nullopt;
        }
        if (kind != EditorKind::Mission) {
            usageStatus = invocation.UsageError("--series is for mission libraries only");
            return std::nullopt;
        }
    }
    return options;
}

int RunImport(const Invocation& invocation) {
    int usage = kExitUsage;
    const auto logic = LogicFor(invocation, usage);
    if (!logic) {
        return usage;
    }
    const EditorKind kind = logic->Constants().kind;
    const auto options = ParseImportOptions(invocation, kind, usage);
    if (!options) {
        return usage;
    }
    const auto idText = invocation.Option("--id");
    if (!idText) {
        return invocation.UsageError("--id N is required");
    }
    const auto value = ParseInteger(*idText);
    if (!value) {
        return invocation.UsageError("N must be a number: " + *idText);
    }
    if (invocation.Option("--tmp") && kind != EditorKind::Ship) {
        return invocation.UsageError("--tmp is for ship libraries only");
    }
    const PictureList list = logic->LoadPictureList();
    if (!list.opened) {
        return CannotOpen(logic->LibraryPath());
    }
    if (!list.editable) {
        PrintError(logic->LibraryPath() + " is read-only in the " +
                   std::string(CommandNameOf(kind)) +
                   " editor: its LibraryKind is another kind's\n");
        return kExitFailure;
    }
    const PictureImport imported =
        ImportPictureFile(invocation.arguments[2], kind, options->series, options->conversion);
    if (!imported.converted) {
        PrintError(imported.error + "\n");
        return kExitFailure;
    }
    if (!logic->IsValidIdentifier(*value, imported.size.series)) {
        PrintError("Not a valid identifier for this picture: " + *idText + "\n");
        return kExitFailure;
    }
    return AppendStaged(*logic, StageConverted(*imported.converted), *value, "import");
}

}  // namespace vexlor::cli
