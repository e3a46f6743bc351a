// Pictures from files: a skin edited under the same name is seen at the next load, an unreadable
// file is told apart from a missing one, and a picture read once comes back without reading again.
// Within a batch (one layout of the bar) a file is looked at once, and only there.
#include "platform/linux/qtpictureloader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class tst_pictureloader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editedFileIsReadAgain();
    void missingAndUnreadable();
    void contentDecidesTheFormat();
    void batchLooksAtEachFileOnce();
    void iconFileShowsItsUsualSize_data();
    void iconFileShowsItsUsualSize();
};

namespace {
bool writeImage(const QString& path, const QColor& colour, int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "BMP");
}

// An icon file holding one square 32-bit picture of each given side, in that order, each of one colour.
QByteArray iconFile(const QList<QPair<int, QColor>>& pictures)
{
    QByteArray directory;
    QByteArray data;
    const int headerSize = 6 + 16 * int(pictures.size());
    const auto word = [](QByteArray& to, quint16 value) {
        to.append(char(value & 0xFF)).append(char(value >> 8));
    };
    const auto dword = [&](QByteArray& to, quint32 value) {
        word(to, quint16(value & 0xFFFF));
        word(to, quint16(value >> 16));
    };
    for (const auto& [side, colour] : pictures) {
        QByteArray entry;
        dword(entry, 40);
        dword(entry, quint32(side));
        dword(entry, quint32(2 * side)); // the colours and the transparency mask
        word(entry, 1);
        word(entry, 32);
        for (int i = 0; i < 6; ++i)
            dword(entry, 0);
        for (int i = 0; i < side * side; ++i)
            entry.append(char(colour.blue()))
                .append(char(colour.green()))
                .append(char(colour.red()))
                .append(char(0xFF));
        entry.append(QByteArray(((side + 31) / 32) * 4 * side, '\0'));
        directory.append(char(side < 256 ? side : 0))
            .append(char(side < 256 ? side : 0))
            .append('\0')
            .append('\0');
        word(directory, 1);
        word(directory, 32);
        dword(directory, quint32(entry.size()));
        dword(directory, quint32(headerSize + data.size()));
        data.append(entry);
    }
    QByteArray file;
    word(file, 0);
    word(file, 1);
    word(file, quint16(pictures.size()));
    return file + directory + data;
}
} // namespace

void tst_pictureloader::editedFileIsReadAgain()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("skin.bmp"));
    QVERIFY(writeImage(path, Qt::red, 48));
    const platform::QtPictureLoader loader;
    platform::LoadedPicture first = loader.load(path);
    QCOMPARE(first.status, platform::LoadedPicture::Status::Ok);
    QCOMPARE(first.pixmap.toImage().pixelColor(3, 3), QColor(Qt::red));
    QCOMPARE(loader.load(path).pixmap.cacheKey(), first.pixmap.cacheKey());

    // Same name, another picture and size, and a modification time set apart from the first.
    QVERIFY(writeImage(path, Qt::blue, 32));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime later = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + 5);
    QVERIFY(file.setFileTime(later, QFileDevice::FileModificationTime));
    file.close();
    const platform::LoadedPicture second = loader.load(path);
    QCOMPARE(second.pixmap.size(), QSize(32, 32));
    QCOMPARE(second.pixmap.toImage().pixelColor(3, 3), QColor(Qt::blue));

    // Same size, other pixels, written within the same second: the time's fraction tells them apart.
    QVERIFY(writeImage(path, Qt::yellow, 32));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(later.addMSecs(300), QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(loader.load(path).pixmap.toImage().pixelColor(3, 3), QColor(Qt::yellow));

    // A relative name is the same file as its absolute one.
    QVERIFY(QDir::setCurrent(folder.path()));
    QCOMPARE(loader.load(QStringLiteral("skin.bmp")).pixmap.toImage().pixelColor(3, 3), QColor(Qt::yellow));
}

void tst_pictureloader::missingAndUnreadable()
{
    QTemporaryDir folder;
    const platform::QtPictureLoader loader;
    QCOMPARE(loader.load(QString()).status, platform::LoadedPicture::Status::Empty);
    QCOMPARE(loader.load(folder.filePath(QStringLiteral("none.bmp"))).status,
             platform::LoadedPicture::Status::NotFound);
    // A folder is no picture file, even with a picture's name.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder.bmp")));
    QCOMPARE(loader.load(folder.filePath(QStringLiteral("folder.bmp"))).status,
             platform::LoadedPicture::Status::NotFound);
    // Nor a pipe, which would hold the layout up until someone writes to it, nor a device.
    const QString pipe = folder.filePath(QStringLiteral("pipe.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(loader.load(pipe).status, platform::LoadedPicture::Status::NotFound);
    QCOMPARE(loader.load(QStringLiteral("/dev/zero")).status, platform::LoadedPicture::Status::NotFound);
    const QString path = folder.filePath(QStringLiteral("broken.bmp"));
    QVERIFY(writeImage(path, Qt::green, 16));
    QCOMPARE(loader.load(path).status, platform::LoadedPicture::Status::Ok);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a picture at all");
    file.close();
    QCOMPARE(loader.load(path).status, platform::LoadedPicture::Status::Unreadable);
}

void tst_pictureloader::contentDecidesTheFormat()
{
    QTemporaryDir folder;
    const platform::QtPictureLoader loader;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    const auto loaded = [&](const QString& name, const char* format) {
        const QString path = folder.filePath(name);
        if (!picture.save(path, format))
            return QColor();
        const platform::LoadedPicture result = loader.load(path);
        return result.ok() && result.pixmap.size() == picture.size()
                   ? result.pixmap.toImage().pixelColor(5, 5)
                   : QColor();
    };
    // Names that lie about what the file holds.
    QCOMPARE(loaded(QStringLiteral("png.bmp"), "PNG"), QColor(10, 200, 30));
    QCOMPARE(loaded(QStringLiteral("bmp.png"), "BMP"), QColor(10, 200, 30));
    QCOMPARE(loaded(QStringLiteral("noname"), "BMP"), QColor(10, 200, 30));
    // Formats read by plugins still load, under any name.
    if (QImageReader::supportedImageFormats().contains("jpeg")) {
        const QColor jpeg = loaded(QStringLiteral("photo.bmp"), "JPEG");
        QVERIFY(jpeg.isValid());
        QVERIFY(qAbs(jpeg.green() - 200) < 12);
    }

    // Files that only start like a bitmap or a PNG picture.
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write(QStringLiteral("BMW.bmp"), "BMW owners' club newsletter"));
    QCOMPARE(loader.load(folder.filePath(QStringLiteral("BMW.bmp"))).status,
             platform::LoadedPicture::Status::Unreadable);
    QVERIFY(write(QStringLiteral("short.png"), QByteArray("\x89PNG\r\n\x1a\n", 8)));
    QCOMPARE(loader.load(folder.filePath(QStringLiteral("short.png"))).status,
             platform::LoadedPicture::Status::Unreadable);
    QVERIFY(picture.save(folder.filePath(QStringLiteral("whole.png")), "PNG"));
    QFile whole(folder.filePath(QStringLiteral("whole.png")));
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QVERIFY(write(QStringLiteral("cut.png"), whole.read(whole.size() / 2)));
    QCOMPARE(loader.load(folder.filePath(QStringLiteral("cut.png"))).status,
             platform::LoadedPicture::Status::Unreadable);

    // Small files are read at once and large ones as they are decoded: both come out the same.
    QImage large(1400, 1200, QImage::Format_RGB32);
    large.fill(QColor(200, 40, 90));
    for (const char* format : {"BMP", "PNG"}) {
        const QString path = folder.filePath(QStringLiteral("large.") + QString::fromLatin1(format));
        QVERIFY(large.save(path, format, 100));
        const platform::LoadedPicture result = loader.load(path);
        QVERIFY2(result.ok(), format);
        QCOMPARE(result.pixmap.size(), large.size());
        QCOMPARE(result.pixmap.toImage().pixelColor(1399, 1199), QColor(200, 40, 90));
    }
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("large.BMP"))).size() > (4 << 20));
}

void tst_pictureloader::batchLooksAtEachFileOnce()
{
    QTemporaryDir folder;
    const QString skin = folder.filePath(QStringLiteral("skin.bmp"));
    const QString later = folder.filePath(QStringLiteral("later.bmp"));
    QVERIFY(writeImage(skin, Qt::red, 16));
    const platform::QtPictureLoader loader;
    {
        const platform::PictureBatch batch(loader);
        QCOMPARE(loader.load(skin).status, platform::LoadedPicture::Status::Ok);
        QCOMPARE(loader.load(later).status, platform::LoadedPicture::Status::NotFound);
        {
            const platform::PictureBatch inner(loader);
            // Gone and come: the batch still gives what it found first.
            QVERIFY(QFile::remove(skin));
            QVERIFY(writeImage(later, Qt::blue, 16));
            QCOMPARE(loader.load(skin).pixmap.toImage().pixelColor(3, 3), QColor(Qt::red));
        }
        // The inner batch ending does not end the outer one.
        QCOMPARE(loader.load(later).status, platform::LoadedPicture::Status::NotFound);
        QCOMPARE(loader.load(QString()).status, platform::LoadedPicture::Status::Empty);
    }
    // After the batch, the files are looked at again.
    QCOMPARE(loader.load(skin).status, platform::LoadedPicture::Status::NotFound);
    QCOMPARE(loader.load(later).pixmap.toImage().pixelColor(3, 3), QColor(Qt::blue));
}

void tst_pictureloader::iconFileShowsItsUsualSize_data()
{
    QTest::addColumn<QList<int>>("sides");
    QTest::addColumn<int>("shown");
    QTest::newRow("small first") << QList<int>{16, 32, 48} << 32;
    QTest::newRow("large first") << QList<int>{256, 48, 32, 16} << 32;
    QTest::newRow("no 32") << QList<int>{16, 48, 24} << 24;
    QTest::newRow("one picture") << QList<int>{16} << 16;
}

void tst_pictureloader::iconFileShowsItsUsualSize()
{
    // An icon file holds the same icon at several sizes: the button shows the one of the usual icon
    // size, 32 x 32, or the nearest, whatever comes first in the file.
    QFETCH(QList<int>, sides);
    QFETCH(int, shown);
    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("no reader for icon files");
    const QList<QColor> colours{Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QList<QPair<int, QColor>> pictures;
    for (int i = 0; i < sides.size(); ++i)
        pictures.append({sides.at(i), colours.at(i)});
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("target.ico"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(iconFile(pictures));
    file.close();

    const platform::QtPictureLoader loader;
    const platform::LoadedPicture loaded = loader.load(path);
    QCOMPARE(loaded.status, platform::LoadedPicture::Status::Ok);
    QCOMPARE(loaded.pixmap.size(), QSize(shown, shown));
    QCOMPARE(loaded.pixmap.toImage().pixelColor(shown / 2, shown / 2), colours.at(sides.indexOf(shown)));
}

QTEST_MAIN(tst_pictureloader)
#include "tst_pictureloader.moc"
