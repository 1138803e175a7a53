#include "cli/demo_command.h"

#include "demo/demo_game_writer.h"

namespace vexlor::cli {

int RunDemo(const Invocation& invocation) {
    const std::string& folder = invocation.arguments[0];
    if (folder.empty()) {
        return invocation.UsageError("DIR must name a folder");
    }
    const demo::DemoOutcome outcome = demo::WriteDemoGame(folder);
    if (!outcome.written) {
        PrintError("The demo could not be written: " + outcome.problem + "\n");
        return kExitFailure;
    }
    PrintOut(outcome.gameFolder + "\n");
    return kExitSuccess;
}

}  // namespace vexlor::cli
