#pragma once

#include "platform/export.h"
#include "platform/systeminfo.h"

#include <QStringList>

namespace platform {

// The first known system-information program found on PATH, and the texts true on a Linux desktop.
class DOVI_PLATFORM_EXPORT XdgSystemInfo final : public SystemInfo {
public:
    XdgSystemInfo();
    // candidates in order of preference; searchPath in the form of PATH (PATH itself when empty).
    XdgSystemInfo(QStringList candidates, QString searchPath);

    QString locateTool() const override;
    bool startTool(const QString& path) override;
    // Translucency follows the compositor, not a version of the system; the bar starts with the
    // desktop session.
    std::optional<QString> ownText(int id) const override;

    static QStringList knownTools();
    // The first candidate that is an executable file in one of the folders of searchPath; empty
    // entries of searchPath (the current folder) are skipped.
    static QString findFirst(const QStringList& candidates, const QString& searchPath);

private:
    QStringList m_candidates;
    QString m_searchPath;
};

} // namespace platform
