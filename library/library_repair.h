#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/change_journal.h"
#include "library/library_walk.h"
#include "library/splice.h"

namespace vexlor {

// The one repair the library browser makes: the header's and the groups' counts, sizes and
// DataOffsets recomputed from the records that lie in the file, and a record that the end of
// the file cuts short dropped (with any bytes too few for a record). Records keep their bytes.
struct RepairPlan {
    bool possible = false;             // false: the library cannot be repaired so; see `reason`
    std::string reason;                // why not, for people
    std::vector<std::string> changes;  // one line per value that changes, for the confirmation
    Splices splices;                   // empty when nothing needs repairing
    std::uint64_t sizeBefore = 0;

    bool Needed() const { return possible && !splices.empty(); }
};

// Plans the repair of a walked library. `file` is the library opened for reading; its header
// and group table bytes are what the splices replace.
RepairPlan PlanRepair(const LibraryWalk& walk, ByteFile& file);

struct RepairOutcome {
    bool done = false;
    std::string message;  // why nothing was repaired, when not done
};

// Repairs the library through the change journal in `journalFolder`, recorded as "repair" so
// that Undo takes it back. The plan is made again under the journal's lock and must be the
// confirmed one: a library that changed since the confirmation is not touched.
RepairOutcome RepairLibrary(const std::string& journalFolder, const std::string& path,
                            const RepairPlan& confirmed);

}  // namespace vexlor
