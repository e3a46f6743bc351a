#include "bar/frmtransparency.h"

#include "bar/frmmain.h"
#include "bar/moddeclarepublic.h"
#include "bar/modsetformstransparency.h"
#include "bar/resstrings.h"
#include "ui_frmtransparency.h"

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
    const QSignalBlocker quiet(ui->Slider1);
    ui->Slider1->setValue(modSetFormsTransparency::clampLevel(TransparencyValue));
}

void frmTransparency::Slider1_Click()
{
    apply();
}

void frmTransparency::Slider1_Scroll()
{
    apply();
}

void frmTransparency::apply()
{
    // While the thumb is dragged value() may lag behind the position it is dragged to.
    const int level = ui->Slider1->isSliderDown() ? ui->Slider1->sliderPosition() : ui->Slider1->value();
    TransparencyValue = static_cast<qint16>(modSetFormsTransparency::clampLevel(level));
    modSetFormsTransparency::SetFormTransparency(&m_bar, TransparencyValue);
}
