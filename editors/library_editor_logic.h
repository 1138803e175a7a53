#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editors/kind_constants.h"
#include "editors/mission_series.h"
#include "library/bmp_file.h"
#include "library/change_journal.h"
#include "library/images.h"
#include "library/library_edit.h"
#include "library/library_reader.h"
#include "library/library_writer.h"
#include "library/replacement_batch.h"
#include "library/write_access.h"

namespace vexlor {

// One image record as Refresh listed it. Row k of the list is the record at position k + 1.
struct PictureEntry {
    int position = 0;
    std::uint64_t offset = 0;
    tIMAGE image{};
};

struct PictureList {
    bool opened = false;    // false: the library could not be opened; the list is empty
    bool editable = false;  // LibraryKind is the editor's own
    std::vector<PictureEntry> entries;
    int highestIdentifier = 0;  // HULL, MAP, SHIP: the largest identifier listed (0 when none)
    SeriesHighest highest;      // BATTLE/MISSION: the highest number per series
    ReadStatus status = ReadStatus::Ok;  // what, if anything, cut the walk short

    int PictureCount() const { return static_cast<int>(entries.size()); }
};

// A thumbnail and the colour that the list shows as transparent.
struct Thumbnail {
    TrueColourImage image;
    Colour transparent = 0;
};

struct ExportResult {
    bool opened = false;
    std::vector<std::string> written;  // paths of the files written
    std::vector<std::string> failed;   // the selected pictures that could not be written
};

// What Export writes: the Parts' 8-bit BMPs, or RGBA PNGs with the transparency as alpha.
enum class ExportFormat { Bmp, Png };

struct AppendOutcome {
    WriteResult result = WriteResult::CannotOpen;
    int storedIdentifier = 0;  // the identifier as stored in the file
    std::string message;       // why nothing was added, when the journal or the lock refused
};

// What a delete, replace, undo or redo made of the library.
struct ChangeOutcome {
    bool done = false;
    std::string message;  // why nothing was changed, in the window's words (empty when done)
    std::string what;     // what was made or taken back: "delete 4700 4800", "append 4800"
    int row = -1;         // the row the change concerns, to select after Refresh (-1: none)
    // What the library's permissions and names said, when they kept the change from being made.
    WriteAccess access = WriteAccess::Allowed;
};

// A picture waiting for "<- Add" or Replace.
struct ImageToAdd {
    IndexedImage image;
    // Import BMP's bitmap keeps each kind's own transparency rule (the top-left pixel's colour
    // for the run-length kinds, index 0 for the index-alpha kinds); a converted picture has
    // index 0 transparent in every kind, with a colour that no opaque pixel has.
    bool converted = false;

    ImageToAdd(IndexedImage picture, bool fromConversion = false)  // NOLINT: a bitmap is one
        : image(std::move(picture)), converted(fromConversion) {}
};

// A staged picture as a library record holds it.
struct EncodedPicture {
    tIMAGE record{};
    tPAL palette;
    tPIX pixels;
};

// A caption edit accepted by the identifier rule, waiting for the timer to write it.
struct PendingRename {
    int position = 0;  // 1-based
    int oldIdentifier = -1;
    int newIdentifier = 0;
    bool startTimer = false;  // false when the old caption was not a number
    std::string oldCaption;   // what the row showed, to name the picture if the write fails
};

// A record's 32-bit picture side as a converter's size; a damaged record's absurd side becomes 0,
// which every converter refuses.
inline int SideOf(std::uint32_t side) {
    return side > 65535 ? 0 : static_cast<int>(side);
}

// Told now and then how far a long operation has come: `done` of `total` records.
using ProgressFunction = std::function<void(int done, int total)>;

// A whole decimal number, optionally signed; nothing else (no blanks, no overflow).
std::optional<int> ParseInteger(const std::string& text);

// The number that an identifier field's text stands for: a text that is no number reads as
// `minimum`, a number beyond the range as the range's nearer end.
int SpinTextValue(const std::string& text, int minimum, int maximum);

// The work of a library editor window on its library file, with no widgets: listing, export,
// the staged picture's check, append and renumbering. Every operation opens the file, does its
// work and closes it again. The subclasses hold what differs between the kinds.
class LibraryEditorLogic {
  public:
    LibraryEditorLogic(EditorKind kind, std::string libraryPath);
    virtual ~LibraryEditorLogic() = default;
    LibraryEditorLogic(const LibraryEditorLogic&) = delete;
    LibraryEditorLogic& operator=(const LibraryEditorLogic&) = delete;

    const KindConstants& Constants() const { return constants_; }
    const std::string& LibraryPath() const { return path_; }

    // Refresh: the header's kind, then every image record in file order (the first `mostRows`
    // of them when that is given: enough to tell which rows exist, without walking the rest).
    PictureList LoadPictureList(const ProgressFunction& progress = {},
                                std::optional<int> mostRows = std::nullopt) const;
    // The list's texts of a record: its picture number and (BATTLE/MISSION) the series word.
    virtual std::string CaptionOf(const tIMAGE& image) const;
    virtual std::string TypeWordOf(const tIMAGE& image) const;
    // The identifier field that a record is listed, exported and renumbered by.
    virtual int IdentifierOf(const tIMAGE& image) const { return image.PictureId; }
    // The identifier field's value after Refresh (HULL, MAP, SHIP).
    virtual int SuggestedIdentifier(const PictureList& list) const;

    // Reads the record's picture again and draws its thumbnail; false when the record no
    // longer is what the list showed or cannot be read.
    bool ReadThumbnail(const PictureEntry& entry, Thumbnail& thumbnail) const;
    virtual bool MakeThumbnail(const tIMAGE& image, tPAL palette, const tPIX& pixels,
                               Thumbnail& thumbnail) const = 0;

    // Export BMP of the given rows (0-based) into `outputFolder`. The walk ends at the last row
    // given, and the files go to the disk together (ReplacementBatch).
    // Export PNG writes the same pictures under the same names with ".png": the transparent
    // pixels at alpha 0, the others opaque in the colour the BMP gives them.
    // `listed`, the list of this library just made, saves the walk where it shows the records
    // that the walk would find.
    ExportResult ExportPictures(const std::vector<int>& rows, const std::string& outputFolder,
                                const ProgressFunction& progress = {},
                                ExportFormat format = ExportFormat::Bmp,
                                const PictureList* listed = nullptr) const;

    // Import BMP: whether the bitmap can be staged.
    bool CheckStagedBmp(const BmpPicture& bitmap) const;
    // Whether a bitmap has an acceptable size, whatever its depth, and the sizes in words.
    virtual bool HasStagedSize(int width, int height) const;
    virtual std::string StagedSizes() const;
    // "<- Add": encodes the staged picture and adds it with the identifier field's value. `verb`
    // names the change in the journal: the command-line's import is undone as "import 4800".
    AppendOutcome AppendPicture(const ImageToAdd& staged, int value,
                                const std::string& verb = "append") const;
    // Whether "<- Add" and the rename accept an identifier field value (for BATTLE/MISSION the
    // picture number within the series `series`).
    bool IsValidIdentifier(int value, std::optional<Series> series) const {
        return IdentifierRefusal(value, series).empty();
    }
    // Why the identifier rule refuses `value`, in a few words ("4750 is not a multiple of
    // 100"); empty when the rule accepts it.
    virtual std::string IdentifierRefusal(int value, std::optional<Series> series) const = 0;
    // The rule as one sentence ("The number must be a multiple of 100 from 0 to 65500").
    virtual std::string IdentifierRule(std::optional<Series> series) const = 0;
    // Why Import BMP refuses a bitmap that CheckStagedBmp refused: the size and depth it has
    // and what is needed instead.
    std::string DescribeRefusedBmp(const std::string& fileName, const BmpPicture& bitmap) const;

    // OnCaptionEdited: the rename to schedule, or none when the caption reverts.
    std::optional<PendingRename> AcceptRename(int row, const std::string& oldCaption,
                                              const std::string& newText,
                                              const std::string& typeWord) const;
    // Why AcceptRename refuses `newText` on a row showing `typeWord`; empty when it accepts it.
    std::string RenameRefusal(const std::string& newText, const std::string& typeWord) const;
    // OnRenameTimer: writes a pending rename.
    RenumberResult WritePictureId(int position, int oldIdentifier, int newIdentifier) const;

    // Delete: the pictures at `rows` (0-based) go, recorded in the change journal.
    ChangeOutcome DeletePictures(const std::vector<int>& rows) const;
    // Replace: the picture at `row` gets the staged picture, keeping its identifier.
    ChangeOutcome ReplacePicture(int row, const ImageToAdd& staged) const;
    // The record at `row` (0-based) as the file holds it now; false when there is none.
    bool ReadRecordOfRow(int row, tIMAGE& image) const;
    // Undo and Redo of the library's last recorded change, across runs of the program.
    ChangeOutcome UndoChange() const;
    ChangeOutcome RedoChange() const;
    // What Undo and Redo would take back or make again ("append 4800"); empty when nothing.
    std::string NextUndo() const;
    std::string NextRedo() const;
    // A change's recorded words ("delete 2") as the window says them, naming pictures as the
    // list does ("delete MISSION 1"); the journal and the command line keep the recorded words.
    virtual std::string InListWords(const std::string& what) const { return what; }
    // Where the change journal is kept; by default the user's state folder's.
    void SetJournalFolder(std::string folder) { journalFolder_ = std::move(folder); }

  protected:
    // The staged picture encoded as this kind stores it, with `value` as the identifier field's
    // value; nothing when it cannot be encoded.
    virtual std::optional<EncodedPicture> EncodeStaged(const ImageToAdd& staged,
                                                       int value) const = 0;
    // SHIP: where an append keeps its copy of the library; empty for the other kinds.
    virtual std::string ShipCopyPath() const { return {}; }
    LibraryLayout Layout() const;
    // The BMP picture of a record for export, and its file name; false when it cannot be made.
    virtual bool ConvertForExport(const tIMAGE& image, tPAL& palette, const tPIX& pixels,
                                  IndexedImage& bitmap) const = 0;
    virtual std::optional<std::string> ExportFileName(const tIMAGE& image) const = 0;
    // Which pixels of a record's picture are transparent, row by row from the top.
    virtual std::vector<bool> TransparentPixels(const tIMAGE& image, const tPIX& pixels) const = 0;
    // Identifier offset of a rename on a row showing `typeWord` (BATTLE/MISSION series offset).
    virtual int RenameOffset(const std::string& typeWord) const;
    virtual void TrackHighest(const tIMAGE& image, PictureList& list) const;
    // "65600 is outside 0 to 65500"; empty inside the range.
    static std::string OutsideRange(int value, int minimum, int maximum);

  private:
    // One selected row's file: its path (or the picture's words, when it has no name) and,
    // when its bytes went to the batch, their number there.
    struct ExportedFile {
        std::string label;
        bool added = false;
        std::size_t number = 0;
    };
    // The selected rows' records as `list` shows them, when the export's walk would find the
    // same ones there and the file still holds them; nothing otherwise.
    std::optional<std::vector<ImageRecord>> ListedRecords(LibraryReader& reader,
                                                          const PictureList& list,
                                                          const std::vector<bool>& selected) const;
    ExportedFile ExportRecord(LibraryReader& reader, const ImageRecord& record,
                              const std::string& folder, ExportFormat format,
                              ReplacementBatch& batch) const;
    // Plans a change under the library's lock from the file as it is, records it and makes it.
    // `how` is how `make` writes; nothing: as HowToMake says.
    ChangeOutcome MakeChange(const std::string& verb, int row, std::optional<ChangeWrite> how,
                             const std::function<ChangePlan(ByteFile&)>& plan,
                             const std::function<bool(const Splices&, std::uint64_t)>& make) const;
    std::string JournalFailure(JournalResult result, const std::string& action) const;
    // Why no change may be made to the library (its access and message); access Allowed when
    // one may.
    ChangeOutcome KeptFromWriting(int row) const;
    // Undo (true) or Redo of the journal's next change.
    ChangeOutcome MoveInJournal(bool undo) const;

    const KindConstants& constants_;
    std::string path_;
    std::string journalFolder_;
};

// New project: the empty library of `kind` at `path`. Replacing an existing file is recorded in
// the change journal in `journalFolder`, so that undo gives the old library back; it is refused
// (false) when it cannot be recorded.
bool CreateLibraryRecorded(LibraryKind kind, const std::string& path,
                           const std::string& journalFolder);

// The logic for a kind: `programFolder` is where a SHIP append keeps its "SHIP.tmp".
std::unique_ptr<LibraryEditorLogic> MakeEditorLogic(EditorKind kind, const std::string& libraryPath,
                                                    const std::string& shipCopyPath);

}  // namespace vexlor
