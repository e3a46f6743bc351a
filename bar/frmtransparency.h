#pragma once

#include <QDialog>

#include <memory>

class QSlider;
class frmMain;

namespace Ui {
class frmTransparency;
}

// The slider that sets the bar's opacity live; the level is kept in TransparencyValue and stored when
// the slider closes, and again when the bar closes.
class frmTransparency final : public QDialog {
    Q_OBJECT
public:
    explicit frmTransparency(frmMain& bar, QWidget* parent = nullptr);
    ~frmTransparency() override;

    QSlider* Slider1() const;

    void done(int result) override;

private Q_SLOTS:
    void Slider1_Click();
    void Slider1_Scroll();

private:
    void Form_Load();
    void apply();
    void placeBesideBar();

    std::unique_ptr<Ui::frmTransparency> ui;
    frmMain& m_bar;
};
