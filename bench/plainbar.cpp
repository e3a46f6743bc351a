// A bar of N buttons made of plain Qt labels: the bar's skins and icons, each button cut to its mask
// and holding its icon and a hidden title. No file is read but the pictures and no library is
// loaded: the cost of what any bar of shaped picture buttons built with Qt Widgets has to do,
// measured beside the empty window and the bar itself.
//
//     dovi_bench_plainbar BUTTONS SKIN_FOLDER ICON...
#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const int buttons = QByteArray(argv[1]).toInt();
    const QString skins = QString::fromLocal8Bit(argv[2]);
    std::vector<QPixmap> icons;
    for (int i = 3; i < argc; ++i)
        icons.emplace_back(QString::fromLocal8Bit(argv[i]));

    const QPixmap up(skins + QStringLiteral("/XP_Up.bmp"));
    const QImage maskPicture(skins + QStringLiteral("/XP_Mask.bmp"));
    const QBitmap mask = QBitmap::fromImage(maskPicture.createMaskFromColor(qRgb(255, 0, 230)));

    QWidget bar(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    for (int i = 0; i < buttons; ++i) {
        auto* button = new QLabel(&bar);
        button->setPixmap(up);
        button->setGeometry(i * up.width(), 0, up.width(), up.height());
        button->setMask(mask);
        auto* icon = new QLabel(button);
        icon->setPixmap(icons.at(static_cast<size_t>(i) % icons.size()));
        icon->move((up.width() - icon->sizeHint().width()) / 2,
                   (up.height() - icon->sizeHint().height()) / 2);
        auto* title = new QLabel(QStringLiteral("Button %1").arg(i + 1), button);
        title->hide();
        button->setToolTip(title->text());
    }
    bar.resize(std::max(1, buttons) * up.width(), up.height());
    bar.move(0, 0);
    bar.show();
    return app.exec();
}
