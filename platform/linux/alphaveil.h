#pragma once

#include <QWidget>

namespace platform {

// Lies over the whole of a window with an alpha channel, above its other parts, and multiplies what
// they drew by a level: the window's own pixels become translucent, on any compositor that shows a
// window's alpha, also one that ignores the window opacity property.
class AlphaVeil final : public QWidget {
    Q_OBJECT
public:
    // Gives window the level; 255 takes the veil away.
    static void apply(QWidget* window, int level);
    // The level a window is veiled with, 255 without a veil.
    static int levelOf(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    AlphaVeil(QWidget* window, int level);
    int m_level;
};

} // namespace platform
