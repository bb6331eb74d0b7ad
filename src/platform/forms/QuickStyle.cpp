#include "QuickStyle.h"
#include "ResourcePixmap.h"

#include <QIcon>

QuickStyle::QuickStyle() : QProxyStyle() {}

QIcon QuickStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option, const QWidget* widget) const
{
    switch (standardIcon) {
    case SP_ToolBarHorizontalExtensionButton:
        return QIcon(ResourcePixmap(QStringLiteral(":/forms/extensionRight.png")));
    case SP_ToolBarVerticalExtensionButton:
        return QIcon(ResourcePixmap(QStringLiteral(":/forms/extensionDown.png")));
    default:
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
}
