// A small program that drives the platform services under a real X server, for the end-to-end
// tests: it shows windows, opens targets and answers commands read line by line on its input.
#include "platform/services.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPalette>
#include <QSet>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

using namespace platform;

namespace {

void reply(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The value after an option, or the fallback when the option is not given.
QString option(const QStringList& args, const char* name, const QString& fallback)
{
    const qsizetype at = args.indexOf(QLatin1String(name));
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString hexColour(QRgb rgb)
{
    return QStringLiteral("#%1").arg(rgb & 0xffffff, 6, 16, QLatin1Char('0'));
}

// The window of a launched target: records its process, folder and argument count.
int runWindow(QApplication& app, const QStringList& args)
{
    QWidget window;
    window.setWindowTitle(option(args, "--title", QStringLiteral("probe window")));
    window.resize(320, 200);
    window.show();
    const int recordAt = args.indexOf(QStringLiteral("--record"));
    if (recordAt >= 0) {
        const QString path = args.value(recordAt + 1);
        QFile record(path + QStringLiteral(".part"));
        if (record.open(QIODevice::WriteOnly)) {
            record.write(QStringLiteral("%1\n%2\n")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDir::currentPath())
                             .toUtf8());
            record.close();
            QFile::remove(path);
            record.rename(path);
        }
    }
    return app.exec();
}

// "capture X Y W H" grabs at once; with "two-step" after it, the picture is asked for and then
// read; with "then-show", the bar is shown and drawn between the two.
QString capture(QWidget& bar, const QStringList& words)
{
    const QRect rect(words.value(1).toInt(), words.value(2).toInt(), words.value(3).toInt(),
                     words.value(4).toInt());
    const QString mode = words.value(5);
    DesktopCapture& desktop = *services().desktop;
    QImage image;
    if (mode.isEmpty()) {
        image = desktop.grab(rect).toImage();
    } else {
        desktop.request(rect);
        if (mode == QLatin1String("then-show")) {
            bar.show();
            bar.raise();
            QDeadlineTimer deadline(3000);
            while (!(bar.windowHandle() && bar.windowHandle()->isExposed()) && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            // Drawn and on the screen: a picture taken now would hold the bar.
            bar.repaint();
            QElapsedTimer drawn;
            drawn.start();
            while (drawn.elapsed() < 200)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        image = desktop.take().toImage();
    }
    if (image.isNull())
        return QStringLiteral("capture none");
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xffffff);
    }
    return QStringLiteral("capture %1x%2 %3 %4")
        .arg(image.width())
        .arg(image.height())
        .arg(colours.size())
        .arg(hexColour(image.pixel(0, 0)));
}

QString command(QWidget& bar, const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    // Arguments that are paths are everything after the verb (and its sub-verb), blanks included.
    const auto rest = [&line](int skip) { return line.section(QLatin1Char(' '), skip); };
    if (verb == QLatin1String("id"))
        return QStringLiteral("id 0x%1").arg(bar.winId(), 0, 16);
    if (verb == QLatin1String("skip")) {
        services().windows->setSkipTaskbar(&bar);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("above")) {
        services().windows->setKeepAbove(&bar, words.value(1) == QLatin1String("1"));
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("opacity")) {
        services().windows->setOpacity(&bar, words.value(1).toInt());
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("hide")) {
        bar.hide();
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("show")) {
        bar.show();
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("translucency")) {
        QString why;
        const bool available = services().windows->translucencyAvailable(&why);
        return QStringLiteral("translucency %1 %2").arg(available ? 1 : 0).arg(why).trimmed();
    }
    if (verb == QLatin1String("capture"))
        return capture(bar, words);
    if (verb == QLatin1String("open")) {
        // open STATE FOLDER|- TARGET...
        const QString folder =
            words.value(2) == QLatin1String("-") ? services().shell->systemDriveRoot() : words.value(2);
        const ShellRequest request{QStringLiteral("Open"), rest(3), QString(), folder,
                                   static_cast<ShowState>(words.value(1).toInt())};
        return QStringLiteral("open %1").arg(yesNo(services().shell->open(request)));
    }
    if (verb == QLatin1String("autostart") && words.value(1) == QLatin1String("set"))
        return QStringLiteral("autostart %1")
            .arg(yesNo(services().autostart->setEntry(QStringLiteral("Dovi"), rest(2))));
    if (verb == QLatin1String("autostart") && words.value(1) == QLatin1String("remove"))
        return QStringLiteral("autostart %1")
            .arg(yesNo(services().autostart->removeEntry(QStringLiteral("Dovi"))));
    if (verb == QLatin1String("sysinfo")) {
        const QString tool = services().systemInfo->locateTool();
        if (words.value(1) == QLatin1String("start"))
            return QStringLiteral("sysinfo %1").arg(yesNo(services().systemInfo->startTool(tool)));
        return QStringLiteral("sysinfo %1").arg(tool.isEmpty() ? QStringLiteral("-") : tool);
    }
    if (verb == QLatin1String("quit")) {
        QCoreApplication::quit();
        return QStringLiteral("bye");
    }
    return QStringLiteral("error unknown command");
}

// The bar stand-in: a borderless window of one colour, driven from the input.
int runBar(QApplication& app, const QStringList& args)
{
    QWidget bar(nullptr, Qt::FramelessWindowHint);
    bar.setWindowTitle(QStringLiteral("probe bar"));
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Window, QColor(option(args, "--colour", QStringLiteral("#ff0000"))));
    bar.setPalette(palette);
    bar.setAutoFillBackground(true);
    bar.setGeometry(100, 100, 200, 60);
    // Like the bar, the window holds other objects before it is first asked to stay off the task bar.
    const QObject helper(&bar);
    if (!args.contains(QStringLiteral("--hidden")))
        bar.show();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, static_cast<int>(n));
        qsizetype end = 0;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            reply(command(bar, line));
        }
    });
    reply(QStringLiteral("ready"));
    return app.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.value(1) == QLatin1String("window"))
        return runWindow(app, args);
    if (args.value(1) == QLatin1String("bar"))
        return runBar(app, args);
    if (args.value(1) == QLatin1String("keys")) {
        // Holds Super+1 to Super+9 as another launcher would, until it is ended.
        const QList<int> taken = services().windows->grabLauncherKeys(&app, [](int) {});
        reply(QStringLiteral("grabbed %1").arg(9 - taken.size()));
        return app.exec();
    }
    std::fputs("usage: platformprobe window [--title T] [--record FILE] | bar [--colour C] [--hidden] | keys\n",
               stderr);
    return 2;
}
