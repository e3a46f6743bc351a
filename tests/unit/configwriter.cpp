// Writes one of two configurations over and over, alternating, until it is killed.
#include "bar/configfile.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {
QStringList configuration(int variant, int buttons)
{
    configfile::Config config;
    config.x = variant;
    config.align = QStringLiteral("HORIZONTAL");
    config.maskColor = 16744703;
    for (int i = 0; i < buttons; ++i) {
        config.entries.append({QStringLiteral("/usr/bin/program-%1-%2").arg(variant).arg(i),
                               QStringLiteral("/icons/%1.png").arg(i), QStringLiteral("Button %1").arg(i),
                               1});
    }
    return configfile::format(config);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    const QString folder = args.at(1);
    const QStringList variants[2] = {configuration(1, 400), configuration(2, 300)};
    std::puts("writing");
    std::fflush(stdout);
    for (int round = 0;; ++round) {
        if (!configfile::write(folder, variants[round % 2]))
            return 1;
    }
}
