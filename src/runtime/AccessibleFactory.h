#pragma once
// How a control of our own shows itself to assistive technology: Qt asks each
// installed factory by class name for the interface of an object.
#include <QAccessible>

namespace rt {

// Makes Interface the accessible view of every Widget; installed once, by the
// first such widget made.
template <typename Widget, typename Interface> void installAccessible() {
    static const bool installed =
        (QAccessible::installFactory(
             [](const QString& className, QObject* object) -> QAccessibleInterface* {
                 if (className == QLatin1String(Widget::staticMetaObject.className()))
                     if (auto* widget = qobject_cast<Widget*>(object))
                         return new Interface(widget);
                 return nullptr;
             }),
         true);
    Q_UNUSED(installed);
}

} // namespace rt
