#include <QColor>
#include <QImage>
#include <QtTest>

// The skins delivered with the bar: each button is cut by the mask's see-through colour, which the
// first configuration proposes, so the pictures have to be cut cleanly by it.
class tst_Skins : public QObject {
    Q_OBJECT

private slots:
    void cutCleanlyByTheSeeThroughColour_data();
    void cutCleanlyByTheSeeThroughColour();
};

namespace {
const QRgb SeeThrough = qRgb(255, 0, 230);

QImage skin(const QString& name)
{
    return QImage(QStringLiteral(DOVI_SKIN_DIR "/") + name + QStringLiteral(".bmp"))
        .convertToFormat(QImage::Format_RGB32);
}

// Blended with the see-through colour: pink where the button is grey or blue.
bool tinted(QRgb pixel)
{
    return qRed(pixel) > qGreen(pixel) + 40 && qBlue(pixel) > qGreen(pixel) + 40;
}
} // namespace

void tst_Skins::cutCleanlyByTheSeeThroughColour_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("picture");
    for (const char* name : {"XP", "XP_Blue"}) {
        for (const char* picture : {"Up", "Down"})
            QTest::addRow("%s %s", name, picture)
                << QString::fromLatin1(name) << QString::fromLatin1(picture);
    }
}

void tst_Skins::cutCleanlyByTheSeeThroughColour()
{
    QFETCH(QString, name);
    QFETCH(QString, picture);
    const QImage mask = skin(name + QStringLiteral("_Mask"));
    const QImage image = skin(name + QLatin1Char('_') + picture);
    QVERIFY(!mask.isNull());
    QCOMPARE(image.size(), mask.size());

    int inside = 0;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb cut = mask.pixel(x, y);
            const QRgb pixel = image.pixel(x, y);
            const QByteArray where = QByteArray::number(x) + ',' + QByteArray::number(y);
            QVERIFY2(cut == SeeThrough || cut == qRgb(0, 0, 0),
                     "mask neither see-through nor black at " + where);
            if (cut == SeeThrough)
                continue;
            ++inside;
            // The button's own pixels: never the see-through colour, and no fringe blended with it.
            QVERIFY2(pixel != SeeThrough && !tinted(pixel), where + " is " + QColor(pixel).name().toLatin1());
        }
    }
    QVERIFY(inside > mask.width() * mask.height() / 2);
}

QTEST_GUILESS_MAIN(tst_Skins)
#include "tst_skins.moc"
