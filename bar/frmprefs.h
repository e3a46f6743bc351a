#pragma once

#include <QDialog>

class frmMain;

// The tabbed preferences dialog. It edits a working copy of the bar's buttons and options and, on OK,
// writes the configuration file and lays the bar out again.
class frmPrefs final : public QDialog {
    Q_OBJECT
public:
    explicit frmPrefs(frmMain& bar, QWidget* parent = nullptr);
    ~frmPrefs() override;

private:
    frmMain& m_bar;
};
