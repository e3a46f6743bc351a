#pragma once

#include "platform/export.h"

#include <QObject>
#include <QStringList>

#include <optional>

namespace platform {

// Starts programs handed off for good: each runs in a session of its own, with its standard input
// and outputs on /dev/null, SIGPIPE at its default and an empty signal mask, and is never waited for.
//
// The program is spawned without copying the caller's memory (posix_spawn), then watched through a
// process file descriptor so that its exit status is taken back as soon as it ends and no zombie is
// left, without a timer. Where the system has no process file descriptors, Qt's detached start
// (which forks twice) is used instead.
class DOVI_PLATFORM_EXPORT DetachedSpawner final : public QObject {
public:
    DetachedSpawner();
    ~DetachedSpawner() override;
    DetachedSpawner(const DetachedSpawner&) = delete;
    DetachedSpawner& operator=(const DetachedSpawner&) = delete;

    // The started program's process id; nothing when it could not be started (a program that
    // cannot be run, a folder that cannot be entered).
    std::optional<qint64> start(const QString& program, const QStringList& arguments, const QString& folder);

    // Started programs still running (their exit not yet taken back).
    int runningCount() const;

private:
    class Child;

    std::optional<qint64> spawn(const QString& program, const QStringList& arguments, const QString& folder);
    bool canWatchProcesses();

    std::optional<bool> m_processFds;
};

} // namespace platform
