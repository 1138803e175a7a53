#pragma once

#include <filesystem>

#include <QByteArray>
#include <QtGlobal>

namespace vexlor::test {

// The user's state folder, and with it the change journal, moved into `folder` while the guard
// lives: window tests write changes and must neither read nor leave the user's own journal.
class ScopedStateFolder {
  public:
    explicit ScopedStateFolder(const std::filesystem::path& folder)
        : hadOld_(qEnvironmentVariableIsSet(kName)), old_(qgetenv(kName)) {
        qputenv(kName, QByteArray::fromStdString(folder.string()));
    }
    ~ScopedStateFolder() {
        if (hadOld_) {
            qputenv(kName, old_);
        } else {
            qunsetenv(kName);
        }
    }
    ScopedStateFolder(const ScopedStateFolder&) = delete;
    ScopedStateFolder& operator=(const ScopedStateFolder&) = delete;

  private:
    static constexpr const char* kName = "XDG_STATE_HOME";
    bool hadOld_;
    QByteArray old_;
};

}  // namespace vexlor::test
