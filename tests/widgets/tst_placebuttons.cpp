// The bar's layout from a configuration file: buttons loaded through the control host at index
// entry + 1 and chained edge to edge, the bar placed and sized in twips, the always-on-top state, the
// properties set by dispatch, reloads, files that cannot be read or loaded, and a layout asked for
// while one is at work.
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "bar/modplacebuttons.h"
#include "button/dispids.h"
#include "tst_frmmain_fixture.h"

using barfixture::ConfigText;
using platform::testing::ScopedDoubles;

namespace {
const QColor Grey(128, 128, 128);
const QColor Key(255, 128, 255);

QRectF rectOf(const host::Control* control)
{
    const host::Extender& e = control->extender();
    return {e.Left(), e.Top(), e.Width(), e.Height()};
}

// Passes picture loads on to the real loader and notes each path, in order.
class LoggingPictures final : public platform::PictureLoader {
public:
    LoggingPictures(std::unique_ptr<platform::PictureLoader> real, QStringList* log)
        : m_real(std::move(real)), m_log(log)
    {}
    platform::LoadedPicture load(const QString& path) const override
    {
        if (!path.isEmpty())
            *m_log << path;
        return m_real->load(path);
    }

private:
    std::unique_ptr<platform::PictureLoader> m_real;
    QStringList* m_log;
};

class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};
} // namespace

class tst_placebuttons : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void templateIsElementZero();
    void chainsButtons_data();
    void iconFilesThatAreNoPicture_data();
    void iconFilesThatAreNoPicture();
    void chainsButtons();
    void positionLineInTwips();
    void positionOffEveryScreenShownOnOne();
    void onTopSetAndCleared();
    void propertiesByDispatch();
    void propertiesInTheirOrder();
    void reloadOfUnchangedFileIsIdentical();
    void noEntriesKeepsTemplateSize();
    void unreadableFileKeepsBar();
    void missingFilesReportedOncePerLayout();
    void layoutAskedForDuringALayoutRunsAfterIt();
    void shownBarIsDrawnOnceLaidOut();

private:
    ConfigText config(int buttons) const;
    bool place();

    std::unique_ptr<barfixture::ProgramFolder> m_folder;
    std::unique_ptr<ScopedDoubles> m_doubles;
    std::unique_ptr<frmMain> m_bar;
    QString m_up, m_down, m_mask;
    QString m_error;
};

void tst_placebuttons::init()
{
    m_folder = std::make_unique<barfixture::ProgramFolder>();
    QVERIFY(m_folder->ok());
    m_doubles = std::make_unique<ScopedDoubles>(m_folder->path());
    modDeclarePublic::reset();
    // Skins 40 x 30 pixels: width and height differ, so an X taken for a Y shows.
    m_up = barfixture::saveSkin(m_folder->file(QStringLiteral("up.bmp")), {40, 30}, Grey, Key);
    m_down = barfixture::saveSkin(m_folder->file(QStringLiteral("down.bmp")), {40, 30}, Qt::darkGray, Key);
    m_mask = barfixture::saveSkin(m_folder->file(QStringLiteral("mask.bmp")), {40, 30}, Qt::black, Key);
    QVERIFY(!m_up.isEmpty() && !m_down.isEmpty() && !m_mask.isEmpty());
    m_bar = std::make_unique<frmMain>();
}

void tst_placebuttons::cleanup()
{
    m_bar.reset();
    m_doubles.reset();
    m_folder.reset();
    modDeclarePublic::reset();
}

ConfigText tst_placebuttons::config(int buttons) const
{
    ConfigText text;
    text.up = m_up;
    text.down = m_down;
    text.mask = m_mask;
    for (int i = 1; i <= buttons; ++i)
        text.buttons << QStringLiteral("/bin/prog%1;;Title %1;1").arg(i);
    return text;
}

bool tst_placebuttons::place()
{
    m_error.clear();
    return modPlaceButtons::PlaceButtons(*m_bar, frmMain::configPath(), &m_error);
}

void tst_placebuttons::templateIsElementZero()
{
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(2)));
    QVERIFY2(place(), qPrintable(m_error));
    const host::Control* model = m_bar->Command1().at(0);
    QVERIFY(model);
    QCOMPARE(rectOf(model), QRectF(0, 0, 720, 720));
    QVERIFY(!model->extender().Visible());
    QVERIFY(model->isHidden());
    QCOMPARE(m_bar->Command1().ubound(), 2);
}

void tst_placebuttons::chainsButtons_data()
{
    QTest::addColumn<QString>("align");
    QTest::addColumn<int>("tppX");
    QTest::addColumn<int>("tppY");
    QTest::addColumn<QList<QPointF>>("corners");
    QTest::addColumn<QSizeF>("barSize");

    // 40 x 30 pixels is 600 x 450 twips at 15 per pixel, 600 x 360 at 15 and 12.
    QTest::newRow("horizontal") << QStringLiteral("HORIZONTAL") << 15 << 15
                                << QList<QPointF>{{0, 0}, {600, 0}, {1200, 0}} << QSizeF(1800, 450);
    QTest::newRow("vertical") << QStringLiteral("VERTICAL") << 15 << 15
                              << QList<QPointF>{{0, 0}, {0, 450}, {0, 900}} << QSizeF(600, 1350);
    QTest::newRow("horizontal, X and Y apart")
        << QStringLiteral("HORIZONTAL") << 15 << 12 << QList<QPointF>{{0, 0}, {600, 0}, {1200, 0}}
        << QSizeF(1800, 360);
    QTest::newRow("vertical, X and Y apart")
        << QStringLiteral("VERTICAL") << 15 << 12 << QList<QPointF>{{0, 0}, {0, 360}, {0, 720}}
        << QSizeF(600, 1080);
    // Neither word: every button stays in the corner, the bar is one button large.
    QTest::newRow("unknown orientation") << QStringLiteral("vertical") << 15 << 15
                                         << QList<QPointF>{{0, 0}, {0, 0}, {0, 0}} << QSizeF(600, 450);
}

void tst_placebuttons::chainsButtons()
{
    QFETCH(QString, align);
    QFETCH(int, tppX);
    QFETCH(int, tppY);
    QFETCH(QList<QPointF>, corners);
    QFETCH(QSizeF, barSize);
    m_doubles->screen->tppX = tppX;
    m_doubles->screen->tppY = tppY;

    ConfigText text = config(3);
    text.align = align;
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));

    host::ControlArray& buttons = m_bar->Command1();
    QCOMPARE(buttons.ubound(), 3);
    for (int i = 0; i < 3; ++i) {
        const host::Control* button = buttons.at(i + 1);
        QVERIFY(button);
        QCOMPARE(rectOf(button).topLeft(), corners.at(i));
        QCOMPARE(button->extender().Width(), 40.0 * tppX);
        QCOMPARE(button->extender().Height(), 30.0 * tppY);
        QVERIFY(button->extender().Visible());
        // Entry i is element i + 1.
        QCOMPARE(buttons.get(i + 1, ButtonDispId::Programme).toString(),
                 QStringLiteral("/bin/prog%1").arg(i + 1));
    }
    QCOMPARE(QSizeF(m_bar->Width(), m_bar->Height()), barSize);
    QCOMPARE(m_bar->size(), QSize(qRound(barSize.width() / tppX), qRound(barSize.height() / tppY)));
    QCOMPARE(modDeclarePublic::CfgAlign, align);
}

void tst_placebuttons::positionLineInTwips()
{
    ConfigText text = config(1);
    text.position = QStringLiteral("100 50");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_bar->Left(), 1500.0);
    QCOMPARE(m_bar->Top(), 750.0);
    QCOMPARE(m_bar->pos(), QPoint(100, 50));

    m_doubles->screen->tppX = 12;
    m_doubles->screen->tppY = 10;
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_bar->Left(), 1200.0);
    QCOMPARE(m_bar->Top(), 500.0);
    QCOMPARE(m_bar->pos(), QPoint(100, 50));
}

void tst_placebuttons::positionOffEveryScreenShownOnOne()
{
    ConfigText text = config(3);
    text.position = QStringLiteral("1900 1000");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QFile file(frmMain::configPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();

    // Written for a larger screen: the bar of three buttons (120 x 30) comes up in the corner.
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_bar->size(), QSize(120, 30));
    QCOMPARE(m_bar->pos(), QPoint(1024 - 120, 768 - 30));
    QCOMPARE(m_bar->Left(), (1024 - 120) * 15.0);
    QCOMPARE(m_bar->Top(), (768 - 30) * 15.0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written);
    file.close();

    // Where a screen is, the bar is where the file says.
    m_doubles->screen->screens = {QRect(0, 0, 1024, 768), QRect(1024, 0, 1920, 1080)};
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_bar->pos(), QPoint(1900, 1000));
}

void tst_placebuttons::onTopSetAndCleared()
{
    ConfigText text = config(1);
    text.onTop = QStringLiteral("TRUE");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_doubles->windows->keepAbove, std::optional<bool>(true));

    // Only the exact word keeps it: anything else clears a topmost state set before.
    for (const QString& word : {QStringLiteral("true"), QStringLiteral("FALSE"), QString()}) {
        m_doubles->windows->keepAbove = true;
        text.onTop = word;
        QVERIFY(barfixture::writeConfig(m_folder->path(), text));
        QVERIFY2(place(), qPrintable(m_error));
        QCOMPARE(m_doubles->windows->keepAbove, std::optional<bool>(false));
        QCOMPARE(modDeclarePublic::CfgOnTop, word);
    }
}

void tst_placebuttons::propertiesByDispatch()
{
    modDeclarePublic::CurrentLang = 1;
    ConfigText text = config(0);
    text.iconMoving = QStringLiteral("5");
    text.graphicMode = QStringLiteral("FALSE");
    text.buttons << QStringLiteral("/opt/a b;;First;2") << QStringLiteral("/opt/c;;;3");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));

    const host::ControlArray& buttons = m_bar->Command1();
    QCOMPARE(buttons.get(1, ButtonDispId::PictureUp).toString(), m_up);
    QCOMPARE(buttons.get(1, ButtonDispId::PictureDown).toString(), m_down);
    QCOMPARE(buttons.get(1, ButtonDispId::ImageMask).toString(), m_mask);
    QCOMPARE(buttons.get(1, ButtonDispId::MaskColor).toLongLong(), 16744703LL);
    QCOMPARE(buttons.get(1, ButtonDispId::IconMove).toBool(), true);
    QCOMPARE(buttons.get(1, ButtonDispId::IconMovingValue).toInt(), 5);
    QCOMPARE(buttons.get(1, ButtonDispId::Programme).toString(), QStringLiteral("/opt/a b"));
    QCOMPARE(buttons.get(1, ButtonDispId::OpenWindowsStyle).toInt(), 2);
    QCOMPARE(buttons.get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("First"));
    QCOMPARE(buttons.get(1, ButtonDispId::TextModeTitle).toString(), QStringLiteral("First"));
    QCOMPARE(buttons.get(1, ButtonDispId::Language).toInt(), 1);
    QCOMPARE(buttons.get(1, ButtonDispId::GraphicMode).toBool(), false);
    QCOMPARE(buttons.at(1)->extender().ToolTipText(), QStringLiteral("First"));
    QCOMPARE(buttons.get(2, ButtonDispId::OpenWindowsStyle).toInt(), 3);
    QCOMPARE(buttons.get(2, ButtonDispId::Button_Title).toString(), QString());

    // Without tooltips the container keeps none.
    text.toolTip = QStringLiteral("FALSE");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_bar->Command1().at(1)->extender().ToolTipText(), QString());
}

void tst_placebuttons::propertiesInTheirOrder()
{
    const QString icon = barfixture::saveSkin(m_folder->file(QStringLiteral("icon.bmp")), {16, 16}, Qt::red);
    ConfigText text = config(0);
    text.buttons << QStringLiteral("/bin/true;%1;Title;2").arg(icon);
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QStringList loads;
    platform::services().pictures =
        std::make_unique<LoggingPictures>(std::move(platform::services().pictures), &loads);
    QVERIFY2(place(), qPrintable(m_error));

    // Each picture property loads its file when it is set: down skin, up skin, mask, then the icon.
    QStringList firsts;
    for (const QString& path : std::as_const(loads)) {
        if (!firsts.contains(path))
            firsts << path;
    }
    QCOMPARE(firsts, (QStringList{m_down, m_up, m_mask, icon}));
}

void tst_placebuttons::reloadOfUnchangedFileIsIdentical()
{
    ConfigText text = config(3);
    text.position = QStringLiteral("30 40");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));
    auto snapshot = [this] {
        QList<QPair<int, QRectF>> layout;
        const host::ControlArray& buttons = m_bar->Command1();
        for (int i = 0; i <= buttons.ubound(); ++i) {
            if (buttons.at(i))
                layout << qMakePair(i, rectOf(buttons.at(i)));
        }
        layout << qMakePair(-1, QRectF(m_bar->Left(), m_bar->Top(), m_bar->Width(), m_bar->Height()));
        return layout;
    };
    const auto before = snapshot();
    const host::Control* oldFirst = m_bar->Command1().at(1);
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(snapshot(), before);
    QCOMPARE(m_bar->Command1().count(), 4);
    // The old buttons went; new ones took their indexes.
    QVERIFY(m_bar->Command1().at(1) != oldFirst);
}

void tst_placebuttons::noEntriesKeepsTemplateSize()
{
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(2)));
    QVERIFY2(place(), qPrintable(m_error));
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(0)));
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(m_bar->Command1().ubound(), 0);
    QCOMPARE(QSizeF(m_bar->Width(), m_bar->Height()), QSizeF(720, 720));
}

void tst_placebuttons::unreadableFileKeepsBar()
{
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(2)));
    QVERIFY2(place(), qPrintable(m_error));
    const host::Control* first = m_bar->Command1().at(1);
    const QSizeF size(m_bar->Width(), m_bar->Height());

    ConfigText broken = config(2);
    broken.maskColour = QStringLiteral("pink");
    QVERIFY(barfixture::writeConfig(m_folder->path(), broken));
    QVERIFY(!place());
    QVERIFY2(m_error.contains(QStringLiteral("line 10")) || m_error.contains(QStringLiteral("ligne 10")),
             qPrintable(m_error));
    QVERIFY(m_error.contains(QStringLiteral("DoviConfig.txt")));
    QCOMPARE(m_bar->Command1().ubound(), 2);
    QCOMPARE(m_bar->Command1().at(1), first);
    QCOMPARE(QSizeF(m_bar->Width(), m_bar->Height()), size);

    QVERIFY(QFile::remove(frmMain::configPath()));
    QVERIFY(!place());
    QVERIFY(m_error.contains(QStringLiteral("DoviConfig.txt")));
    QCOMPARE(m_bar->Command1().ubound(), 2);
}

void tst_placebuttons::missingFilesReportedOncePerLayout()
{
    ConfigText text = config(0);
    text.up = m_folder->file(QStringLiteral("nowhere_up.bmp"));
    const QString icon = m_folder->file(QStringLiteral("gone.ico"));
    text.buttons << QStringLiteral("/bin/a;%1;A;1").arg(icon) << QStringLiteral("/bin/b;%1;B;1").arg(icon)
                 << QStringLiteral("/bin/c;;C;1");
    QVERIFY(barfixture::writeConfig(m_folder->path(), text));
    QVERIFY2(place(), qPrintable(m_error));

    // Every button is there although its skin and icon could not be loaded.
    QCOMPARE(m_bar->Command1().ubound(), 3);
    const QString skinPath = QDir::toNativeSeparators(text.up);
    const QString iconPath = QDir::toNativeSeparators(icon);
    auto reports = [&] {
        QList<platform::testing::ShownMessage> found;
        for (const auto& message : std::as_const(m_doubles->messages->shown)) {
            if (message.text.contains(skinPath))
                found << message;
        }
        return found;
    };
    QCOMPARE(reports().size(), 1);
    const QString text1 = reports().constFirst().text;
    QCOMPARE(text1.count(skinPath), 1);
    // A missing icon is the button's to tell, and told only by it.
    QCOMPARE(text1.count(iconPath), 0);
    QCOMPARE(reports().constFirst().title, frmMain::versionTitle());
    // The buttons' own word on their missing icon comes once, not once per button, before the report.
    QCOMPARE(m_doubles->messages->shown.size(), 2);
    QCOMPARE(m_doubles->messages->shown.constFirst().title, QStringLiteral("Erreur chemin..."));

    // The next layout tells it again, once, in the bar's language from the first button on.
    modDeclarePublic::CurrentLang = 1;
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(reports().size(), 2);
    QCOMPARE(m_doubles->messages->shown.size(), 4);
    QCOMPARE(m_doubles->messages->shown.at(2).title, QStringLiteral("Error way..."));
    QVERIFY(reports().constLast().text.startsWith(QStringLiteral("Dovi could not load these files:")));
    // Skin failures are told in English too.
    QVERIFY(!reports().constLast().text.contains(QStringLiteral("introuvable")));
}

void tst_placebuttons::iconFilesThatAreNoPicture_data()
{
    QTest::addColumn<QString>("graphicMode");
    QTest::addColumn<QString>("extractIcon");
    QTest::addColumn<bool>("told");

    QTest::newRow("shown: told once a session") << "TRUE"
                                                << "FALSE" << true;
    QTest::newRow("target's icon drawn instead") << "TRUE"
                                                 << "TRUE" << false;
    QTest::newRow("title shown instead") << "FALSE"
                                         << "FALSE" << false;
}

void tst_placebuttons::iconFilesThatAreNoPicture()
{
    QFETCH(QString, graphicMode);
    QFETCH(QString, extractIcon);
    QFETCH(bool, told);
    // An icon path naming a program, as files written elsewhere often have.
    const QString program = m_folder->file(QStringLiteral("edit.exe"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    ConfigText text = config(0);
    text.graphicMode = graphicMode;
    text.buttons << QStringLiteral("%1;%1;Editor;1").arg(program)
                 << QStringLiteral("/bin/b;%1;B;1").arg(program);
    QStringList lines = text.lines();
    lines[5] = extractIcon;
    QVERIFY(configfile::write(m_folder->path(), lines));
    const QString shown = QDir::toNativeSeparators(program);
    auto tellings = [&] {
        int count = 0;
        for (const auto& message : std::as_const(m_doubles->messages->shown))
            count += message.text.count(shown);
        return count;
    };
    for (int layout = 0; layout < 3; ++layout) {
        QVERIFY2(place(), qPrintable(m_error));
        QCOMPARE(tellings(), told ? 1 : 0);
    }
    // The button itself drops the error: nothing else is said.
    QCOMPARE(m_doubles->messages->shown.size(), told ? 1 : 0);
}

void tst_placebuttons::layoutAskedForDuringALayoutRunsAfterIt()
{
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(3)));
    // At the first DoEvents of the layout, the user saves other buttons: a layout is asked for.
    platform::testing::HookedEventPump* raw = platform::testing::installHookedEvents();
    ConfigText saved = config(2);
    saved.buttons = QStringList({QStringLiteral("/bin/x;;X;1"), QStringLiteral("/bin/y;;Y;3")});
    bool nested = false;
    raw->hook = [&] {
        QVERIFY(barfixture::writeConfig(m_folder->path(), saved));
        nested = place();
        // The buttons being set up are left alone.
        QCOMPARE(m_bar->Command1().ubound(), 1);
    };
    QVERIFY2(place(), qPrintable(m_error));
    QVERIFY(!raw->hook);
    QVERIFY(nested);
    // The bar ends as the file saved last says.
    host::ControlArray& buttons = m_bar->Command1();
    QCOMPARE(buttons.ubound(), 2);
    QCOMPARE(buttons.get(1, ButtonDispId::Button_Title).toString(), QStringLiteral("X"));
    QCOMPARE(buttons.get(2, ButtonDispId::OpenWindowsStyle).toInt(), 3);
    QCOMPARE(m_bar->Width(), 2 * 40 * 15.0);

    // The next layout runs as any other.
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(1)));
    QVERIFY2(place(), qPrintable(m_error));
    QCOMPARE(buttons.ubound(), 1);
}

void tst_placebuttons::shownBarIsDrawnOnceLaidOut()
{
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(12)));
    QVERIFY2(place(), qPrintable(m_error));
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    PaintCounter counter;
    m_bar->installEventFilter(&counter);

    // Each button lets events run while it is set up; a bar drawn then would be drawn for every
    // button, with half of them gone or not yet set up.
    QVERIFY(barfixture::writeConfig(m_folder->path(), config(20)));
    QVERIFY2(place(), qPrintable(m_error));
    QVERIFY(m_doubles->events->calls >= 20);
    QCOMPARE(counter.paints, 0);
    QCOMPARE(m_bar->Command1().ubound(), 20);

    // Once laid out, the bar is drawn with its new buttons.
    QTRY_VERIFY(counter.paints > 0);
    QVERIFY(m_bar->updatesEnabled());
    QVERIFY(m_bar->Command1().at(20)->updatesEnabled());
}

QTEST_MAIN(tst_placebuttons)
#include "tst_placebuttons.moc"
