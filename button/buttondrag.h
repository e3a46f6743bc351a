#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QMouseEvent;
class QWidget;

// Drags a launcher button once the left mouse button is held past the drag distance; its container
// takes the drop (the drag's source is the button). The release that ends a drag is no click.
class ButtonDrag final : public QObject {
    Q_OBJECT
public:
    // The drag's private data type: no other program takes it, so a button dropped elsewhere stays.
    static constexpr const char* MimeType = "application/x-dovi-button";

    // atStart puts the button back at rest when its drag begins.
    ButtonDrag(QWidget* button, std::function<void()> atStart);
    // Follows the mouse on the button or one of its parts.
    void watch(QWidget* part);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the move started a drag.
    bool follow(const QMouseEvent& move);

    QPointer<QWidget> m_button;
    std::function<void()> m_atStart;
    QPoint m_pressAt;
    bool m_armed = false;
    // The release of the mouse button that ended a drag is still to come.
    bool m_releaseAfterDrag = false;
};
