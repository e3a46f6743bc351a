#include "button/buttonaccessible.h"

#include "button/usercontrol1.h"

ButtonAccessible::ButtonAccessible(UserControl1* button) : QAccessibleWidget(button, QAccessible::Button) {}

UserControl1* ButtonAccessible::button() const
{
    return static_cast<UserControl1*>(widget());
}

QString ButtonAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        return button()->accessibleTitle();
    case QAccessible::Description:
        return button()->accessibleDescription();
    default:
        return QAccessibleWidget::text(t);
    }
}

QStringList ButtonAccessible::actionNames() const
{
    return {pressAction(), showMenuAction()};
}

void ButtonAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        button()->pressFromOutside();
    else if (actionName == showMenuAction())
        button()->menuFromOutside();
}

QStringList ButtonAccessible::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Return"), QStringLiteral("Space")};
    if (actionName == showMenuAction())
        return {QStringLiteral("Menu"), QStringLiteral("Shift+F10")};
    return {};
}

void ButtonAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            auto* button = qobject_cast<UserControl1*>(object);
            if (button && className == QLatin1String(UserControl1::staticMetaObject.className()))
                return new ButtonAccessible(button);
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}
