// Times the bar's reload (layout from the configuration file, sizing, desktop copy) in a program
// folder given on the command line, on the offscreen platform with the session's services replaced
// by their stand-ins. Prints the median of the runs in milliseconds.
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "platform/testing/doubles.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    platform::testing::ScopedDoubles doubles(folder);
    modDeclarePublic::SetupDone = true;
    frmMain bar;
    if (!bar.ensureTemplate() || !bar.Reload()) {
        std::fprintf(stderr, "the bar cannot be laid out from %s\n", argv[1]);
        return 1;
    }
    bar.show();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        bar.Reload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    std::printf("%.2f\n", times[static_cast<size_t>(runs / 2)]);
    return 0;
}
