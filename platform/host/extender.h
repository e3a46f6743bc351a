#pragma once

#include "platform/export.h"

#include <QFont>
#include <QString>

class QWidget;

namespace host {

// The properties a container keeps for each control it holds: position and size in twips, visibility
// and the tooltip. The control asks its container for them, and for the ambient font.
class DOVI_PLATFORM_EXPORT Extender {
public:
    explicit Extender(QWidget* control) : m_control(control) {}

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double leftTwips, double topTwips);

    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    QString ToolTipText() const { return m_toolTip; }
    void setToolTipText(const QString& text) { m_toolTip = text; }

    QFont ambientFont() const;

private:
    QWidget* m_control;
    bool m_visible = false;
    QString m_toolTip;
};

} // namespace host
