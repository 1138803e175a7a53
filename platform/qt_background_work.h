#pragma once

#include <optional>
#include <thread>
#include <type_traits>
#include <utility>

#include <QEventLoop>
#include <QMetaObject>

namespace vexlor {

// Runs `work` on a thread of its own and gives back its result, while this thread's event loop
// goes on painting and keeping time: a change that rewrites a large library must not freeze the
// windows. What the user types or clicks meanwhile waits (it is not lost) until the work is done,
// so that nothing can start a second change of the same file before the first one ends. `work`
// must touch no widget; a window that the system closed meanwhile may be gone when this returns
// (a caller in a window's member holds a QPointer to it).
template <typename Work>
std::invoke_result_t<Work&> WhileTheWindowsGoOn(Work&& work) {
    std::optional<std::invoke_result_t<Work&>> result;
    QEventLoop loop;
    std::thread worker([&] {
        result.emplace(work());
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return std::move(*result);
}

}  // namespace vexlor
