#pragma once

#include <QDialog>
#include <QPair>
#include <QPointer>
#include <QTimer>

#include <memory>

class QCheckBox;
class QLabel;

namespace Ui {
class frmInfos;
}

// The small tip window the preferences dialog shows after an Add, a Create or a Delete. It closes by
// itself after five seconds, at once on its "X" button, and offers a box that stops the tips.
class frmInfos final : public QDialog {
    Q_OBJECT
public:
    explicit frmInfos(QWidget* parent = nullptr);
    ~frmInfos() override;

    // The one-second timer that closes the window at its fifth tick.
    QTimer& Timer1() { return m_timer1; }
    // Label1(0) and Label1(1), the two lines of the tip.
    QLabel* Label1(int index) const;

    // Where a window of this size goes: below the preferences dialog, else above it, always inside
    // the screen; centred on the screen when there is no preferences dialog (an empty rectangle).
    static QPoint placeNear(const QRect& prefs, const QSize& size, const QRect& screen);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void Timer1_Timer();
    void Command1_Click();
    void Check1_Click();

private:
    void layoutInTwips();
    void Form_Load();
    void Form_QueryUnload();
    QWidget* findPrefs() const;
    QCheckBox* prefsToolTip() const;

    std::unique_ptr<Ui::frmInfos> ui;
    QTimer m_timer1;
    qint16 InfosTicks = 0;
    bool m_loaded = false;
    QPair<QString, QString> m_designTexts; // Label1(0) and Label1(1) as designed
    QPointer<QWidget> m_prefs;
    QMetaObject::Connection m_prefsGone;
};
