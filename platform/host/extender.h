#pragma once

#include "platform/export.h"

#include <QFont>
#include <QString>

namespace host {

class Control;

// The properties a container keeps for each control it holds: position and size in twips (converted
// with the screen's twips per pixel, X and Y apart), visibility and the tooltip. The control asks its
// container for them, and for the ambient font.
class DOVI_PLATFORM_EXPORT Extender {
public:
    explicit Extender(Control* control) : m_control(control) {}

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    // A control may refuse another size (the launcher button keeps its skin's): read Width back.
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double leftTwips, double topTwips);
    void setBounds(double leftTwips, double topTwips, double widthTwips, double heightTwips);

    // Hidden until the container makes it visible.
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    // Shown by the container over the control; the control may copy it onto its parts when shown.
    QString ToolTipText() const { return m_toolTip; }
    void setToolTipText(const QString& text);

    // The container's font.
    QFont ambientFont() const;

private:
    void resizeTo(int widthPixels, int heightPixels);

    Control* m_control;
    bool m_visible = false;
    QString m_toolTip;
};

} // namespace host
