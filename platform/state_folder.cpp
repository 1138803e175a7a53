#include "platform/state_folder.h"

#include "library/utf8_path.h"

namespace vexlor {

namespace {

std::string Environment(const char* name) {
    return EnvironmentUtf8(name);
}

// The XDG rule: a relative path in the variable is ignored, as if it were not set.
bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
    return path.size() > 2 && path[1] == ':';
#else
    return !path.empty() && path.front() == '/';
#endif
}

}  // namespace

std::string UserStateFolder() {
#ifdef _WIN32
    const std::string local = Environment("LOCALAPPDATA");
    return IsAbsolute(local) ? local + "\\Vexlor" : std::string();
#else
    const std::string state = Environment("XDG_STATE_HOME");
    if (IsAbsolute(state)) {
        return state + "/vexlor";
    }
    const std::string home = Environment("HOME");
    return IsAbsolute(home) ? home + "/.local/state/vexlor" : std::string();
#endif
}

std::string JournalFolder() {
    const std::string state = UserStateFolder();
#ifdef _WIN32
    return state.empty() ? state : state + "\\journal";
#else
    return state.empty() ? state : state + "/journal";
#endif
}

}  // namespace vexlor
