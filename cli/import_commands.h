#pragma once

#include <optional>

#include "cli/command.h"
#include "editors/library_editor_logic.h"
#include "editors/mission_series.h"
#include "pictures/picture_conversion.h"

namespace vexlor::cli {

// `import`: a picture file of any format converted and appended.
int RunImport(const Invocation& invocation);

// The options that say how a picture file is converted: --fit, --dither, --opaque, --series.
struct ImportOptions {
    ConversionOptions conversion;
    std::optional<Series> series;
};

// --fit, --dither and --opaque of the invocation; nothing, with `usageStatus` set, when one is
// malformed.
std::optional<ConversionOptions> ParseConversionOptions(const Invocation& invocation,
                                                        int& usageStatus);

// The import options of the invocation; nothing, with `usageStatus` set, when one is malformed.
std::optional<ImportOptions> ParseImportOptions(const Invocation& invocation, EditorKind kind,
                                                int& usageStatus);

}  // namespace vexlor::cli
