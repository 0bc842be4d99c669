// The application's style: the one Qt chose, with its standard icons made once. Every
// document window's frame asks for several of them, and the style would read them from
// their image files each time.
#pragma once

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

class XGStyle : public QProxyStyle {
public:
    explicit XGStyle(QStyle* base);
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // Makes the application's style an XGStyle over the current one, once.
    static void Install();

private:
    mutable QHash<int, QIcon> fIcons; // by icon and layout direction
};
