#include "platform/linux/qtmessageboxes.h"

#include <QDebug>
#include <QMessageBox>

namespace platform {

MsgAnswer QtMessageBoxes::show(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                               MsgButtons buttons)
{
    // Also in the session's log, where a bar started without a terminal leaves a trace of what it said.
    qInfo().noquote() << title << QStringLiteral(":") << text;
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

} // namespace platform
