#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/any_library_commands.h"
#include "cli/change_commands.h"
#include "cli/command.h"
#include "cli/craft_commands.h"
#include "cli/demo_command.h"
#include "cli/editor_commands.h"
#include "cli/extract_command.h"
#include "cli/import_commands.h"
#include "cli/library_commands.h"
#include "library/utf8_path.h"
#include "pictures/picture_files.h"

namespace {

using vexlor::cli::Command;

// Every command of the contract, built or not: an unbuilt one keeps a null handler so that it
// answers with a usage error instead of pretending to work. A new command is one more row.
std::vector<Command> CommandTable() {
    using namespace vexlor::cli;
    constexpr std::size_t kAny = Command::kUnlimited;
    return {
        {{"create"},
         "KIND FILE",
         "Writes the empty library of KIND, replacing FILE. Exit 1 if it could not be written "
         "completely.",
         2,
         2,
         {},
         RunCreate},
        {{"kind"},
         "FILE",
         "Prints the four kind tests, one line each: HULL, MAP, SHIP, BATTLE/MISSION, yes or no.",
         1,
         1,
         {},
         RunKind},
        {{"info"},
         "FILE",
         "Prints the library's header, groups and image records as read, with what is missing, "
         "as JSON. Exit 1 if FILE cannot be opened or is shorter than the header.",
         1,
         1,
         {},
         RunInfo},
        {{"check"},
         "FILE",
         "Checks every count, size and offset relation and that every record lies inside the "
         "file. Prints ok (exit 0) or one line per violation (exit 1).",
         1,
         1,
         {},
         RunCheck},
        {{"extract"},
         "FILE [--out DIR] [--png]",
         "Draws every record of any library (run-length and index-alpha pictures of any size, "
         "any groups) into DIR (default: the current folder) as GGGGG_PPPPP.bmp, 8-bit, or with "
         "--png as RGBA .png, named by GroupId and PictureId, _2, _3, ... for a name already "
         "written. Prints each path written. A record of another format, cut short or not "
         "decoding to its size is named on standard error and skipped, and the exit is 1.",
         1,
         1,
         {"--out"},
         RunExtract,
         {"--png"}},
        {{"add"},
         "FILE G P IMAGE [--format 23|24] [--size W H] [--fit contain|cover|stretch] "
         "[--dither D] [--opaque]",
         "Adds a record G P (GroupId, PictureId) to a library of any kind, after the last record "
         "of group G (a new group G at the end when there is none), holding IMAGE converted as "
         "import converts it, at W x H (1 to 16384; default IMAGE's size), run-length (23) or "
         "index-alpha with each pixel's own alpha (24; default the group's format, else 23). "
         "Prints G P. Recorded: undo takes it back.",
         4,
         4,
         {"--format", "--fit", "--dither"},
         RunAdd,
         {"--opaque"},
         {"--size"}},
        {{"set"},
         "FILE G P IMAGE [--format 23|24] [--size W H] [--fit contain|cover|stretch] "
         "[--dither D] [--opaque]",
         "Gives record G P the picture of IMAGE, converted as add converts it (default: the "
         "record's size and format), keeping its place, G and P. Prints G P. Recorded.",
         4,
         4,
         {"--format", "--fit", "--dither"},
         RunSet,
         {"--opaque"},
         {"--size"}},
        {{"remove"},
         "FILE G P [G P ...]",
         "Removes the named records (each once); a group left without records leaves the table. "
         "Prints the number removed. Recorded.",
         3,
         kAny,
         {},
         RunRemove},
        {{"rename"},
         "FILE G P G2 P2",
         "Gives record G P the identifiers G2 P2: in place when G2 is G, else moved after the "
         "last record of group G2 (a new group at the end when there is none), a group it leaves "
         "empty leaving the table. Prints G2 P2. Recorded.",
         5,
         5,
         {},
         RunRename},
        {{"list"},
         "KIND FILE",
         "Prints what the KIND editor's Refresh shows, as JSON: the rows in file order, the "
         "suggested identifier and (mission) the highest number of each series.",
         2,
         2,
         {},
         RunList},
        {{"export"},
         "KIND FILE [--png] [--out DIR] [ROW ...]",
         "Exports the given rows (from 0; none given: every row) as 8-bit BMP files named as the "
         "editor names them, into DIR (default: the Output folder beside the program, or in "
         "~/.local/share/vexlor or $XDG_DATA_HOME/vexlor when the program folder cannot be "
         "written). Prints each file written. --png writes RGBA PNG files instead, the transparent "
         "pixels at alpha 0.",
         2,
         kAny,
         {"--out"},
         RunExport,
         {"--png"}},
        {{"append"},
         "KIND FILE BMP --id N [--tmp FILE]",
         "Stages BMP as Import BMP does and appends it as \"<- Add\" does with the identifier N "
         "(mission: the number within the series the BMP's width selects). Prints the stored "
         "identifier. --tmp (ship) names the copy kept of the library, by default SHIP.tmp "
         "beside the Output folder.",
         3,
         3,
         {"--id", "--tmp"},
         RunAppend},
        {{"import"},
         "KIND FILE IMAGE --id N [--series BATTLE|MISSION|mission] [--fit contain|cover|stretch] "
         "[--dither D] [--opaque] [--tmp FILE]",
         "Converts IMAGE (PNG, BMP, JPEG, GIF, TGA, TIFF, WebP, ...) as Import image does: fitted "
         "to the kind's size (default contain), alpha below 128 transparent (without alpha: the "
         "top-left colour, unless --opaque), at most 255 colours chosen for it, dithered by D "
         "(0 to 1, default 1). Appends it as append does and prints the stored identifier.",
         3,
         3,
         {"--id", "--tmp", "--fit", "--dither", "--series"},
         RunImport,
         {"--opaque"}},
        {{"renumber"},
         "KIND FILE ROW OLD NEW",
         "Renames row ROW's caption from OLD to NEW as the editor does when its timer fires; "
         "nothing is written when the record no longer carries OLD.",
         5,
         5,
         {},
         RunRenumber},
        {{"delete"},
         "KIND FILE ROW [ROW ...]",
         "Removes the pictures at the given rows (from 0, as list shows them, each once); the "
         "other records keep their bytes and order, the counts and sizes follow (ship: the "
         "pictures' groups go too). Prints the number removed. Recorded: undo takes it back.",
         3,
         kAny,
         {},
         RunDelete},
        {{"replace"},
         "KIND FILE ROW IMAGE [--fit F] [--dither D] [--opaque] [--series S]",
         "Gives the picture at ROW the content of IMAGE, keeping its row and identifier: an 8-bit "
         "BMP of the picture's size as Import BMP stages it, any other picture converted as "
         "import converts it to the size of the picture it replaces. Everything else stays apart "
         "from "
         "the counts and sizes its new length changes. Recorded: undo takes it back.",
         4,
         4,
         {"--fit", "--dither", "--series"},
         RunReplace,
         {"--opaque"}},
        {{"undo"},
         "FILE",
         "Takes back the last recorded change of FILE, leaving it byte for byte as before, and "
         "prints what it took back (\"append 4800\"). Exit 1, changing nothing, when there is "
         "nothing to undo or FILE was changed since by something that was not recorded.",
         1,
         1,
         {},
         RunUndo},
        {{"redo"},
         "FILE",
         "Makes again the change that the last undo took back and prints it. Exit 1, changing "
         "nothing, when there is nothing to redo or FILE is not what the last undo left.",
         1,
         1,
         {},
         RunRedo},
        {{"history"},
         "FILE",
         "Prints FILE's recorded changes as JSON: {\"undo\": [{\"what\", \"when\"}, ...], "
         "\"redo\": [...]}, newest first, times in UTC. The journal is kept in the user's "
         "state folder ($XDG_STATE_HOME/vexlor, else ~/.local/state/vexlor).",
         1,
         1,
         {},
         RunHistory},
        {{"craft", "list"},
         "GAMEDIR",
         "Prints the three Enabled images values and the 218 craft with their names and HULL, "
         "MAP and SHIP picture numbers from the game executable, as JSON. Exit 1 with \"Need "
         "XWingAlliance 2.02\" for any other executable.",
         1,
         1,
         {},
         RunCraftList},
        {{"craft", "find"},
         "GAMEDIR N",
         "Searches the libraries that resdata.txt names for craft N's HULL, MAP and SHIP "
         "pictures as the Preview does; prints each library found with the picture's size, or "
         "null, as JSON.",
         2,
         2,
         {},
         RunCraftFind},
        {{"craft", "set"},
         "GAMEDIR N [--hull X] [--map Y] [--battle B] [--mission M] [--mission-lower L]",
         "Writes the given values of craft N into the game executable as the Preview's Save "
         "does; the others keep what the executable holds. X and Y from 0 to 65500 (--hull for "
         "craft 1 to 71 only), B, M and L from 0 to 255. Before its first change of the "
         "executable it copies it to xwingalliance.exe.bak beside it, unless that file exists. "
         "Exit 1, writing nothing, for a value out of range, an executable that is not 2.02 or "
         "cannot be written, or a backup that cannot be made.",
         2,
         2,
         {"--hull", "--map", "--battle", "--mission", "--mission-lower"},
         RunCraftSet},
        {{"demo"},
         "DIR",
         "Writes a small demo game folder DIR/XWA, made by this program alone: an executable "
         "stand-in with the craft tables, strings.txt, resdata.txt and a HULL, MAP, SHIP and "
         "BATTLE/MISSION library of drawn pictures; and DIR/vexlor.ini naming it, so that the "
         "editor started in DIR opens on the demo. Replaces the demo's own files and touches "
         "nothing else; refuses a DIR/XWA that holds other files. Prints the game folder.",
         1,
         1,
         {},
         RunDemo},
    };
}

// The arguments as UTF-8, the program's own text for paths: on Windows from the wide command
// line, since the narrow one holds only what the ANSI code page can say.
std::vector<std::string> ArgumentsOf(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(vexlor::Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output is the same bytes as on every other system, its lines ended by "\n" alone, so
    // that scripts and comparisons made for one serve the other.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    // The image readers' own warnings ("Image type not supported", "libpng error") would stand
    // among the command's output; the command says itself which picture it could not read.
    vexlor::QuietPictureReaders();
    const std::vector<std::string> args = ArgumentsOf(argc, argv);
    int status = vexlor::cli::Dispatch(CommandTable(), args);
    // A result that did not reach its reader is a failure, not a success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fputs("vexlor-cli: cannot write the result to standard output\n", stderr);
        status = vexlor::cli::kExitFailure;
    }
    return status;
}
