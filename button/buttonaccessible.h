#pragma once

#include <QAccessibleWidget>

class UserControl1;

// What a screen reader and the accessibility tree see of a launcher button: a push button named by
// its title (or, without one, by its target), described by its tooltip, that can be pressed, which
// starts its target as a left click does, and that can open its container's menu.
class ButtonAccessible final : public QAccessibleWidget {
public:
    explicit ButtonAccessible(UserControl1* button);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;
    // The button's pictures and title are parts of it, not things of their own to a screen reader.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    // Makes Qt ask this class for every launcher button; once per program.
    static void install();

private:
    UserControl1* button() const;
};
