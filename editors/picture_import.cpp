#include "editors/picture_import.h"

#include "pictures/picture_files.h"

namespace vexlor {

ImportSize ImportSizeFor(EditorKind kind, std::optional<Series> series, int sourceWidth,
                         int sourceHeight) {
    if (kind != EditorKind::Mission) {
        const KindConstants& constants = ConstantsOf(kind);
        return {constants.pictureWidth, constants.pictureHeight, std::nullopt};
    }
    const Series chosen = series.value_or(SeriesForPictureSize(sourceWidth, sourceHeight));
    return {InfoOf(chosen).width, InfoOf(chosen).height, chosen};
}

ImportSize ImportSizeOfRecord(EditorKind kind, int width, int height) {
    if (kind != EditorKind::Mission) {
        return ImportSizeFor(kind, std::nullopt, width, height);
    }
    return {width, height, SeriesOfWidth(width)};
}

ConversionOptions ConversionOptionsFor(EditorKind kind, ConversionOptions options) {
    options.shades = kind == EditorKind::Hull || kind == EditorKind::Map;
    return options;
}

PictureImport ImportPictureFile(const std::string& path, EditorKind kind,
                                std::optional<Series> series, const ConversionOptions& options) {
    PictureImport result;
    RgbaPicture picture;
    if (!ReadPictureFile(path, picture, result.error)) {
        return result;
    }
    result.size = ImportSizeFor(kind, series, picture.width, picture.height);
    result.converted = ConvertPicture(picture, result.size.width, result.size.height,
                                      ConversionOptionsFor(kind, options));
    if (!result.converted) {
        result.error = "Cannot convert the picture " + path;
    }
    return result;
}

}  // namespace vexlor
