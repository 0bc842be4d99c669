#include "framework/qt/XGStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

XGStyle::XGStyle(QStyle* base) : QProxyStyle(base) {}

QIcon XGStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    // An option can ask for a particular state or size: those are not kept.
    if (option) return QProxyStyle::standardIcon(icon, option, widget);
    const Qt::LayoutDirection direction = widget ? widget->layoutDirection() : QGuiApplication::layoutDirection();
    const int key = int(icon) * 2 + (direction == Qt::RightToLeft ? 1 : 0);
    auto found = fIcons.constFind(key);
    if (found != fIcons.constEnd()) return *found;
    QIcon made = QProxyStyle::standardIcon(icon, nullptr, widget);
    fIcons.insert(key, made);
    return made;
}

void XGStyle::Install()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || dynamic_cast<XGStyle*>(QApplication::style()))
        return;
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    if (!base) return;
    QApplication::setStyle(new XGStyle(base));
}
