#include "bar/frmmain.h"

#include "button/dispids.h"
#include "platform/host/controlhost.h"
#include "platform/services.h"

#include <QPainter>

#include <cmath>

namespace {
int tppX()
{
    return platform::services().screen->twipsPerPixelX();
}
int tppY()
{
    return platform::services().screen->twipsPerPixelY();
}
} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool),
      m_command1(QStringLiteral(DOVIBUTTON_PROGID), this, host::controlHost())
{
    setWindowTitle(QStringLiteral("Dovi"));
    resize(48, 48);
}

frmMain::~frmMain() = default;

bool frmMain::Form_Load()
{
    return true;
}

double frmMain::Left() const
{
    return x() * static_cast<double>(tppX());
}
double frmMain::Top() const
{
    return y() * static_cast<double>(tppY());
}
double frmMain::Width() const
{
    return width() * static_cast<double>(tppX());
}
double frmMain::Height() const
{
    return height() * static_cast<double>(tppY());
}
void frmMain::setLeft(double twips)
{
    move(static_cast<int>(std::lround(twips / tppX())), y());
}
void frmMain::setTop(double twips)
{
    move(x(), static_cast<int>(std::lround(twips / tppY())));
}
void frmMain::setWidth(double twips)
{
    resize(static_cast<int>(std::lround(twips / tppX())), height());
}
void frmMain::setHeight(double twips)
{
    resize(width(), static_cast<int>(std::lround(twips / tppY())));
}

void frmMain::PaintDesktopBehind()
{
    update();
}

void frmMain::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
}
