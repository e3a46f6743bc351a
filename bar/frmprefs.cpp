#include "bar/frmprefs.h"

#include "bar/frmmain.h"

frmPrefs::frmPrefs(frmMain& bar, QWidget* parent) : QDialog(parent), m_bar(bar)
{
    setObjectName(QStringLiteral("frmPrefs"));
}

frmPrefs::~frmPrefs() = default;
