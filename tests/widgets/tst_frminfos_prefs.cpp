// The tips window as the preferences dialog shows it, modally, after Add: its box mirrored into the
// dialog's chkToolTip, the choice kept for the next Add and by the dialog's own OK.
#include "bar/frminfos.h"
#include "tst_frmprefs_fixture.h"

#include <QApplication>
#include <QPointer>

#include <functional>

using prefstest::Fixture;

namespace {
// Counts the showings of the tips window and acts on each from inside its modal loop; a showing the
// test did not expect is closed at once so that it cannot hang the test.
class TipWatcher final : public QObject {
public:
    TipWatcher() { qApp->installEventFilter(this); }
    ~TipWatcher() override { qApp->removeEventFilter(this); }

    std::function<void(frmInfos&)> onShow;
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* infos = qobject_cast<frmInfos*>(watched);
        if (infos && event->type() == QEvent::Show && !event->spontaneous()) {
            ++shown;
            QPointer<frmInfos> target(infos);
            QTimer::singleShot(0, this, [this, target] {
                if (!target)
                    return;
                if (onShow)
                    onShow(*target);
                else
                    target->reject();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

void tickFiveTimes(frmInfos& infos)
{
    for (int i = 0; i < 5 && infos.isVisible(); ++i)
        QMetaObject::invokeMethod(&infos, "Timer1_Timer");
}
} // namespace

class tst_frminfos_prefs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void tickedThenTimerStopsTheNextTip();
    void tickedThenClearedKeepsTheTips();
    void choiceSurvivesThePreferencesOk();

private:
    void openWithTips();
    void backToTheList();
    QCheckBox* chkToolTip() const { return f.w<QCheckBox>("chkToolTip"); }
    Fixture f;
};

void tst_frminfos_prefs::initTestCase()
{
    QVERIFY(f.makeFolder());
}

void tst_frminfos_prefs::init()
{
    f.start(f.header() + "/usr/bin/xterm;;Console;1\r\n/usr/bin/gedit;;Editor;2\r\n");
}

void tst_frminfos_prefs::cleanup()
{
    f.stop();
}

void tst_frminfos_prefs::openWithTips()
{
    QVERIFY(settings::saveInfosToolTip(0));
    f.open(2);
    QVERIFY(chkToolTip()->isChecked());
}

// A row other than the current one is selected, which ends the creation that Add began.
void tst_frminfos_prefs::backToTheList()
{
    QListWidget* list = f.list("List1");
    list->setCurrentRow(list->currentRow() == 1 ? 0 : 1);
    QVERIFY(f.button("cmdAdd")->isEnabled());
}

void tst_frminfos_prefs::tickedThenTimerStopsTheNextTip()
{
    openWithTips();
    TipWatcher tips;
    bool mirrored = false;
    tips.onShow = [&](frmInfos& infos) {
        QCOMPARE(infos.Label1(0)->text(), QStringLiteral("Pour annuler cette action,"));
        infos.findChild<QCheckBox*>(QStringLiteral("Check1"))->click();
        mirrored = !chkToolTip()->isChecked();
        tickFiveTimes(infos);
    };
    f.click("cmdAdd");
    QCOMPARE(tips.shown, 1);
    QVERIFY(mirrored);
    QCOMPARE(settings::InfosToolTip(), 1);

    // Back to the list, then Add again: no tip any more.
    tips.onShow = nullptr;
    backToTheList();
    f.click("cmdAdd");
    QCOMPARE(tips.shown, 1);
}

void tst_frminfos_prefs::tickedThenClearedKeepsTheTips()
{
    openWithTips();
    TipWatcher tips;
    tips.onShow = [&](frmInfos& infos) {
        auto* box = infos.findChild<QCheckBox*>(QStringLiteral("Check1"));
        box->click();
        box->click();
        tickFiveTimes(infos);
    };
    f.click("cmdAdd");
    QCOMPARE(tips.shown, 1);
    QVERIFY(chkToolTip()->isChecked());
    QCOMPARE(settings::InfosToolTip(), 0);

    tips.onShow = [](frmInfos& infos) { infos.findChild<QPushButton*>(QStringLiteral("Command1"))->click(); };
    backToTheList();
    f.click("cmdAdd");
    QCOMPARE(tips.shown, 2);
}

void tst_frminfos_prefs::choiceSurvivesThePreferencesOk()
{
    // The dialog writes its own box on OK: the mirror keeps it from undoing the choice.
    openWithTips();
    TipWatcher tips;
    tips.onShow = [](frmInfos& infos) {
        infos.findChild<QCheckBox*>(QStringLiteral("Check1"))->click();
        infos.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    };
    f.click("cmdAdd");
    QCOMPARE(tips.shown, 1);
    backToTheList();
    f.click("cmdOK");
    QCOMPARE(settings::InfosToolTip(), 1);
}

QTEST_MAIN(tst_frminfos_prefs)
#include "tst_frminfos_prefs.moc"
