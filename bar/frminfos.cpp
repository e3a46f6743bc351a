#include "bar/frminfos.h"

#include "bar/mnemonics.h"
#include "bar/moddeclarepublic.h"
#include "bar/modsetformstransparency.h"
#include "bar/resstrings.h"
#include "bar/settings.h"
#include "bar/ui_frminfos.h"
#include "platform/services.h"

#include <QApplication>
#include <QCheckBox>
#include <QHideEvent>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <iterator>

namespace {
constexpr int TicksToClose = 5;
constexpr int TickMs = 1000;
constexpr int TipOpacity = 220;
constexpr int GapPixels = 4;
const char* const PrefsName = "frmPrefs";
const char* const PrefsToolTipName = "chkToolTip";

// Texts of the tips by number: French first line, French second line, English first, English second.
struct TipTexts {
    int frenchFirst;
    int frenchSecond;
    int englishFirst;
    int englishSecond;
};
constexpr TipTexts Tips[] = {
    {111, 112, 113, 114}, // after Add
    {115, 116, 117, 118}, // after Create
    {119, 120, 121, 122}, // after Delete
};
} // namespace

frmInfos::frmInfos(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::frmInfos>())
{
    ui->setupUi(this);
    m_designTexts = {ui->Label1_0->text(), ui->Label1_1->text()};
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    // The tooltip colours of the system, with a border drawn by paintEvent.
    QPalette tip = palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::WindowText, tip.color(QPalette::ToolTipText));
    setPalette(tip);
    setAutoFillBackground(true);

    QFont labelFont(QStringLiteral("Comic Sans MS"));
    labelFont.setPointSizeF(9.75);
    ui->Label1_0->setFont(labelFont);
    ui->Label1_1->setFont(labelFont);
    layoutInTwips();

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(TickMs);
    connect(&m_timer1, &QTimer::timeout, this, &frmInfos::Timer1_Timer);
    connect(ui->Command1, &QPushButton::clicked, this, &frmInfos::Command1_Click);
    connect(ui->Check1, &QCheckBox::toggled, this, &frmInfos::Check1_Click);
}

frmInfos::~frmInfos()
{
    // Destroyed while still open (with its owner, say): the choice is kept all the same.
    if (m_loaded)
        Form_QueryUnload();
}

QLabel* frmInfos::Label1(int index) const
{
    return index == 0 ? ui->Label1_0 : index == 1 ? ui->Label1_1 : nullptr;
}

void frmInfos::layoutInTwips()
{
    const auto& screen = *platform::services().screen;
    const int tppX = qMax(1, screen.twipsPerPixelX());
    const int tppY = qMax(1, screen.twipsPerPixelY());
    const auto place = [&](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(qRound(double(left) / tppX), qRound(double(top) / tppY),
                            qRound(double(width) / tppX), qRound(double(height) / tppY));
    };
    place(ui->Label1_0, 120, 120, 2340, 270);
    place(ui->Label1_1, 120, 360, 2820, 270);
    place(ui->Check1, 120, 840, 2775, 255);
    place(ui->Command1, 4080, 120, 255, 255);
    QSize client(qRound(4455.0 / tppX), qRound(1215.0 / tppY));

    // The design widths suit the fonts they were drawn with; with other fonts a text that does not
    // fit gets the room it needs, the window growing with it, rather than being cut.
    const int margin = client.width() - ui->Command1->geometry().right() - 1;
    const auto widen = [](QWidget* widget) {
        widget->resize(qMax(widget->width(), widget->sizeHint().width()), widget->height());
        return widget->geometry().right() + 1;
    };
    const int firstLine = widen(ui->Label1_0) + margin + ui->Command1->width();
    const int others = qMax(widen(ui->Label1_1), widen(ui->Check1));
    client.setWidth(std::max({client.width(), firstLine + margin, others + margin}));
    ui->Command1->move(client.width() - margin - ui->Command1->width(), ui->Command1->y());
    setFixedSize(client);
}

void frmInfos::showEvent(QShowEvent* event)
{
    if (!event->spontaneous() && !m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void frmInfos::hideEvent(QHideEvent* event)
{
    // Hidden without going through done() (hide() by the program): the window is gone all the same,
    // so its timer must not close a later showing and the choice is kept.
    if (!event->spontaneous() && m_loaded)
        Form_QueryUnload();
    QDialog::hideEvent(event);
}

void frmInfos::Form_Load()
{
    using namespace modDeclarePublic;
    m_loaded = true;
    InfosTicks = 0;
    m_timer1.start();

    {
        // A window shown again starts unticked, without touching the preferences dialog.
        const QSignalBlocker quiet(ui->Check1);
        ui->Check1->setChecked(false);
    }
    ui->Check1->setText(resstrings::choose(123, 124, CurrentLang));
    mnemonics::assignTo(this);
    // The button shows a cross.
    ui->Command1->setAccessibleName(CurrentLang == 0 ? QStringLiteral("Fermer") : QStringLiteral("Close"));

    if (InfosTip >= 0 && InfosTip < qint16(std::size(Tips))) {
        const TipTexts& tip = Tips[InfosTip];
        ui->Label1_0->setText(resstrings::choose(tip.frenchFirst, tip.englishFirst, CurrentLang));
        ui->Label1_1->setText(resstrings::choose(tip.frenchSecond, tip.englishSecond, CurrentLang));
    } else {
        ui->Label1_0->setText(m_designTexts.first);
        ui->Label1_1->setText(m_designTexts.second);
    }

    layoutInTwips();

    if (TransparencyAvailable)
        modSetFormsTransparency::SetFormTransparency(this, TipOpacity);

    m_prefs = findPrefs();
    QRect prefsRect;
    QRect screenRect(QPoint(0, 0), platform::services().screen->screenSizePixels());
    if (m_prefs) {
        prefsRect = m_prefs->frameGeometry();
        // A tip is about the open preferences dialog: it goes when the dialog goes.
        m_prefs->installEventFilter(this);
        m_prefsGone = connect(m_prefs.data(), &QObject::destroyed, this, &QDialog::reject);
        // With several screens, next to the dialog is on the dialog's own screen.
        if (const QScreen* screen = QGuiApplication::screenAt(prefsRect.center()))
            screenRect = screen->geometry();
    }
    move(placeNear(prefsRect, size(), screenRect));
}

void frmInfos::Timer1_Timer()
{
    ++InfosTicks;
    if (InfosTicks >= TicksToClose)
        reject();
}

void frmInfos::Command1_Click()
{
    m_timer1.stop();
    reject();
}

void frmInfos::Check1_Click()
{
    if (QCheckBox* box = prefsToolTip())
        box->setChecked(!ui->Check1->isChecked());
}

void frmInfos::done(int result)
{
    if (m_loaded)
        Form_QueryUnload();
    QDialog::done(result);
}

void frmInfos::Form_QueryUnload()
{
    m_loaded = false;
    m_timer1.stop();
    if (m_prefs)
        m_prefs->removeEventFilter(this);
    disconnect(m_prefsGone);
    m_prefs.clear();
    if (ui->Check1->isChecked())
        settings::saveInfosToolTip(1);
}

bool frmInfos::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_prefs && event->type() == QEvent::Hide && isVisible())
        reject();
    return QDialog::eventFilter(watched, event);
}

QWidget* frmInfos::findPrefs() const
{
    for (QWidget* widget = parentWidget(); widget; widget = widget->parentWidget()) {
        if (widget->objectName() == QLatin1String(PrefsName))
            return widget;
    }
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows) {
        if (widget != this && widget->isVisible() && widget->objectName() == QLatin1String(PrefsName))
            return widget;
    }
    return nullptr;
}

QCheckBox* frmInfos::prefsToolTip() const
{
    QWidget* prefs = m_prefs ? m_prefs.data() : findPrefs();
    return prefs ? prefs->findChild<QCheckBox*>(QLatin1String(PrefsToolTipName)) : nullptr;
}

QPoint frmInfos::placeNear(const QRect& prefs, const QSize& size, const QRect& screen)
{
    QPoint at;
    if (prefs.isEmpty()) {
        at = QPoint(screen.left() + (screen.width() - size.width()) / 2,
                    screen.top() + (screen.height() - size.height()) / 2);
    } else {
        at.setX(prefs.left() + (prefs.width() - size.width()) / 2);
        const int below = prefs.bottom() + 1 + GapPixels;
        const int above = prefs.top() - GapPixels - size.height();
        if (below + size.height() <= screen.bottom() + 1)
            at.setY(below);
        else if (above >= screen.top())
            at.setY(above);
        else
            at.setY(prefs.bottom() + 1 - size.height()); // over the dialog's bottom edge
    }
    at.setX(qBound(screen.left(), at.x(), qMax(screen.left(), screen.right() + 1 - size.width())));
    at.setY(qBound(screen.top(), at.y(), qMax(screen.top(), screen.bottom() + 1 - size.height())));
    return at;
}

void frmInfos::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
