#include "cli/library_commands.h"

#include <filesystem>
#include <optional>
#include <string>

#include "cli/json_writer.h"
#include "library/creation.h"
#include "library/library_inspection.h"
#include "library/utf8_path.h"
#include "library/write_access.h"

namespace vexlor::cli {

namespace {

std::optional<LibraryKind> ParseKind(const std::string& word) {
    if (word == "hull") {
        return LibraryKind::Hull;
    }
    if (word == "map") {
        return LibraryKind::Map;
    }
    if (word == "ship") {
        return LibraryKind::Ship;
    }
    if (word == "mission") {
        return LibraryKind::Mission;
    }
    return std::nullopt;
}

int Failure(const Invocation& invocation, const std::string& message) {
    PrintError("vexlor-cli " + invocation.command->Name() + ": " + message + "\n");
    return kExitFailure;
}

std::string YesNo(bool value) {
    return value ? "yes" : "no";
}

void WriteHeader(JsonWriter& json, const tHEADER& header) {
    json.Key("header");
    json.BeginObject();
    json.Field("signature", header.HasSignature());
    json.Field("GroupCount", header.GroupCount);
    json.Field("ImageCount", header.ImageCount);
    json.Field("ImageDataSize", header.ImageDataSize);
    json.Field("ColourCount", header.ColourCount);
    json.Field("LibraryKind", header.LibraryKind);
    json.Field("GroupDataSize", header.GroupDataSize);
    json.EndObject();
}

void WriteGroups(JsonWriter& json, const std::vector<tGROUP>& groups) {
    json.Key("groups");
    json.BeginArray();
    for (const tGROUP& group : groups) {
        json.BeginObject();
        json.Field("GroupId", group.GroupId);
        json.Field("ImageCount", group.ImageCount);
        json.Field("ImageDataSize", group.ImageDataSize);
        json.Field("ColourCount", group.ColourCount);
        json.Field("DataOffset", group.DataOffset);
        json.EndObject();
    }
    json.EndArray();
}

void WriteImages(JsonWriter& json, const std::vector<ImageRecord>& images) {
    json.Key("images");
    json.BeginArray();
    for (const ImageRecord& record : images) {
        const tIMAGE& image = record.image;
        json.BeginObject();
        json.Field("offset", record.offset);
        json.Field("PictureFormat", image.PictureFormat);
        json.Field("Width", image.Width);
        json.Field("Height", image.Height);
        json.Field("GroupId", image.GroupId);
        json.Field("PictureId", image.PictureId);
        json.Field("DataSize", image.DataSize);
        json.Field("PixelOffset", image.PixelOffset);
        json.Field("BlockWidth", image.BlockWidth);
        json.Field("BlockHeight", image.BlockHeight);
        json.Field("ColourCount", image.ColourCount);
        json.EndObject();
    }
    json.EndArray();
}

void WriteProblems(JsonWriter& json, const std::vector<std::string>& problems) {
    json.Key("problems");
    json.BeginArray();
    for (const std::string& problem : problems) {
        json.String(problem);
    }
    json.EndArray();
}

std::string InspectionJson(const LibraryInspection& inspection) {
    JsonWriter json;
    json.BeginObject();
    WriteHeader(json, inspection.header);
    WriteGroups(json, inspection.groups);
    WriteImages(json, inspection.images);
    WriteProblems(json, inspection.problems);
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace

int RunCreate(const Invocation& invocation) {
    const std::string& kindWord = invocation.arguments[0];
    const std::string& path = invocation.arguments[1];
    const std::optional<LibraryKind> kind = ParseKind(kindWord);
    if (!kind) {
        return invocation.UsageError("unknown KIND " + kindWord);
    }
    if (const std::string kept =
            WriteRefusalText(WriteAccessOf(path), Utf8Of(PathFromUtf8(path).filename()));
        !kept.empty()) {
        PrintError(kept + "\n");
        return kExitFailure;
    }
    if (!CreateLibrary(*kind, path)) {
        return Failure(invocation, "could not write " + path + " completely");
    }
    return kExitSuccess;
}

int RunKind(const Invocation& invocation) {
    const std::string& path = invocation.arguments[0];
    PrintOut("HULL " + YesNo(IsHullLibrary(path)) + "\n");
    PrintOut("MAP " + YesNo(IsMapLibrary(path)) + "\n");
    PrintOut("SHIP " + YesNo(IsShipLibrary(path)) + "\n");
    PrintOut("BATTLE/MISSION " + YesNo(IsMissionLibrary(path)) + "\n");
    return kExitSuccess;
}

int RunInfo(const Invocation& invocation) {
    const std::string& path = invocation.arguments[0];
    const LibraryInspection inspection = InspectLibrary(path);
    if (!inspection.opened) {
        return Failure(invocation, "cannot open " + path);
    }
    if (!inspection.headerComplete) {
        return Failure(invocation, path + ": " + inspection.problems.front());
    }
    PrintOut(InspectionJson(inspection));
    return kExitSuccess;
}

int RunCheck(const Invocation& invocation) {
    const std::string& path = invocation.arguments[0];
    const LibraryCheck check = CheckLibrary(path);
    if (!check.opened) {
        return Failure(invocation, "cannot open " + path);
    }
    if (check.Ok()) {
        PrintOut("ok\n");
        return kExitSuccess;
    }
    std::string lines;
    for (const std::string& violation : check.violations) {
        lines += violation + "\n";
    }
    PrintOut(lines);
    return kExitFailure;
}

}  // namespace vexlor::cli
