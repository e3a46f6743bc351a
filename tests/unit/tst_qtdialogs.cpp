// The file choosers' filters as the Qt file dialog gets them on this system.
#include "platform/linux/qtdialogs.h"

#include <QtTest>

class tst_qtdialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filters_data();
    void filters();
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

QTEST_GUILESS_MAIN(tst_qtdialogs)
#include "tst_qtdialogs.moc"
