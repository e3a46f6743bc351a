// The file choosers' filters as the Qt file dialog gets them on this system, and where the program's
// dialogs open.
#include "platform/linux/qtdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

class tst_qtdialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filters_data();
    void filters();
    void placement_data();
    void placement();
    void dialogsOpenWhereTheUserLooks_data();
    void dialogsOpenWhereTheUserLooks();
};

void tst_qtdialogs::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    // Programs here have no ".exe": the chooser of programs opens on all files.
    QTest::newRow("programs") << "Application (*.exe)|*.exe"
                              << "All Files (*);;Application (*.exe)";
    QTest::newRow("icons") << "Icon (*.ico)|*.ico"
                           << "Icon (*.ico);;All Files (*)";
    QTest::newRow("skins") << "Windows Bitmap (*.bmp)|*.bmp|GIF Images (*.gif)|*.gif"
                           << "Windows Bitmap (*.bmp);;GIF Images (*.gif);;All Files (*)";
    QTest::newRow("description without brackets") << "Pictures|*.bmp;*.gif"
                                                  << "Pictures (*.bmp *.gif);;All Files (*)";
}

void tst_qtdialogs::filters()
{
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(platform::QtDialogs::toQtFilter(filter), qt);
}

void tst_qtdialogs::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("bar");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QPoint>("at");
    const QRect screen(0, 0, 1200, 900);
    const QSize dialog(400, 300);
    QTest::newRow("bar in the top-left corner")
        << screen << QRect(0, 0, 48, 48) << dialog << true << QPoint(400, 300);
    QTest::newRow("bar along the bottom edge")
        << screen << QRect(400, 852, 400, 48) << dialog << true << QPoint(400, 300);
    QTest::newRow("bar at the right, half-way down")
        << screen << QRect(1152, 400, 48, 100) << dialog << true << QPoint(400, 300);
    QTest::newRow("bar in the middle") << screen << QRect(560, 420, 96, 48) << dialog << false << QPoint();
    QTest::newRow("second screen, right of the first")
        << QRect(1200, 0, 800, 600) << QRect(1200, 0, 48, 48) << dialog << true << QPoint(1400, 150);
    QTest::newRow("a dialog larger than the screen shows its top-left corner")
        << QRect(0, 30, 800, 570) << QRect(0, 552, 48, 48) << QSize(1000, 700) << true << QPoint(0, 30);
}

void tst_qtdialogs::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, bar);
    QFETCH(QSize, dialog);
    QFETCH(bool, moved);
    QFETCH(QPoint, at);
    const std::optional<QPoint> position = platform::dialogPosition(screen, bar, dialog);
    QCOMPARE(position.has_value(), moved);
    if (moved)
        QCOMPARE(*position, at);
}

void tst_qtdialogs::dialogsOpenWhereTheUserLooks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("barInTheCorner");
    QTest::newRow("form") << "form" << true;
    QTest::newRow("message box") << "message" << true;
    QTest::newRow("a dialog placed by its own code keeps its place") << "placed" << true;
    QTest::newRow("bar in the middle: over the bar") << "form" << false;
}

void tst_qtdialogs::dialogsOpenWhereTheUserLooks()
{
    QFETCH(QString, kind);
    QFETCH(bool, barInTheCorner);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget bar(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    bar.setFixedSize(48, 48);
    bar.move(barInTheCorner ? screen.topLeft() : screen.center() - QPoint(24, 24));
    bar.show();
    platform::placeDialogsBy(&bar);

    std::unique_ptr<QDialog> dialog;
    if (kind == QLatin1String("message")) {
        auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QStringLiteral("Dovi"),
                                                 QStringLiteral("A message long enough to make the box wider "
                                                                "than its buttons alone would."),
                                                 QMessageBox::Ok, &bar);
        dialog = std::move(box);
    } else {
        dialog = std::make_unique<QDialog>(&bar);
        dialog->resize(300, 200);
        if (kind == QLatin1String("placed"))
            dialog->move(screen.topLeft() + QPoint(10, 20));
    }
    dialog->show();
    const QPoint centre = dialog->frameGeometry().center();
    if (kind == QLatin1String("placed")) {
        QCOMPARE(dialog->pos(), screen.topLeft() + QPoint(10, 20));
    } else if (barInTheCorner) {
        QVERIFY2((centre - screen.center()).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    } else {
        // Qt centres a dialog over its parent.
        QVERIFY((centre - bar.geometry().center()).manhattanLength() <= 4);
    }
}

QTEST_MAIN(tst_qtdialogs)
#include "tst_qtdialogs.moc"
