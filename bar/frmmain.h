#pragma once

#include "platform/host/controlarray.h"

#include <QPixmap>
#include <QWidget>

// The bar: a borderless window holding the launcher buttons Command1(1..n) edge to edge over a copy
// of the desktop under it. Element 0 of Command1 is the hidden 720 x 720 twips template.
class frmMain final : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up sequence. False when the program is to end without showing the bar.
    bool Form_Load();

    host::ControlArray& Command1() { return m_command1; }

    // Position and size in twips.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    // Paints the desktop rectangle under the bar onto its background (taken while the bar is hidden).
    void PaintDesktopBehind();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    host::ControlArray m_command1;
    QPixmap m_background;
};
