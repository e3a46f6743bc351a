#include "bar/frmtransparency.h"

#include "bar/frminfos.h"
#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "bar/modplacebuttons.h"
#include "bar/modsetformstransparency.h"
#include "bar/resstrings.h"
#include "bar/settings.h"
#include "platform/services.h"
#include "ui_frmtransparency.h"

#include <QStyle>

using namespace modDeclarePublic;

frmTransparency::frmTransparency(frmMain& bar, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmTransparency>()), m_bar(bar)
{
    ui->setupUi(this);
    // The floor keeps the bar visible enough to be found again.
    ui->Slider1->setMinimum(modSetFormsTransparency::MinimumLevel);
    connect(ui->Slider1, &QSlider::valueChanged, this, &frmTransparency::Slider1_Click);
    connect(ui->Slider1, &QSlider::sliderMoved, this, &frmTransparency::Slider1_Scroll);
    Form_Load();
}

frmTransparency::~frmTransparency() = default;

QSlider* frmTransparency::Slider1() const
{
    return ui->Slider1;
}

void frmTransparency::Form_Load()
{
    setWindowTitle(resstrings::choose(137, 138, CurrentLang));
    ui->Slider1->setAccessibleName(CurrentLang == 0 ? QStringLiteral("Transparence de Dovi")
                                                    : QStringLiteral("Dovi transparency"));
    const QSignalBlocker quiet(ui->Slider1);
    ui->Slider1->setValue(modSetFormsTransparency::clampLevel(TransparencyValue));
    placeBesideBar();
}

void frmTransparency::placeBesideBar()
{
    // The slider is there to watch the bar change: beside the bar, not centred over it.
    const auto& screen = *platform::services().screen;
    const int tppX = qMax(1, screen.twipsPerPixelX());
    const int tppY = qMax(1, screen.twipsPerPixelY());
    const QRect bar(qRound(m_bar.Left() / tppX), qRound(m_bar.Top() / tppY), qRound(m_bar.Width() / tppX),
                    qRound(m_bar.Height() / tppY));
    // The window manager's frame is not known before the window is shown: allow for a title bar.
    const int frame = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QSize outer(width() + frame / 2, height() + frame);
    // On the bar's own screen, wherever that lies among the screens.
    move(frmInfos::placeNear(bar, outer, modPlaceButtons::screenHolding(bar, screen.screensPixels())));
}

void frmTransparency::Slider1_Click()
{
    apply();
}

void frmTransparency::Slider1_Scroll()
{
    apply();
}

void frmTransparency::done(int result)
{
    // A bar that does not close, because the session ends with its window system, saves nothing:
    // the level is kept as soon as the user has chosen it.
    if (SetupDone)
        settings::saveValTrans(TransparencyValue);
    QDialog::done(result);
}

void frmTransparency::apply()
{
    // While the thumb is dragged value() may lag behind the position it is dragged to.
    const int level = ui->Slider1->isSliderDown() ? ui->Slider1->sliderPosition() : ui->Slider1->value();
    TransparencyValue = static_cast<qint16>(modSetFormsTransparency::clampLevel(level));
    modSetFormsTransparency::SetFormTransparency(&m_bar, TransparencyValue);
}
