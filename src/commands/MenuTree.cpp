#include "MenuTree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

const std::vector<MenuItemSpec>& MainMenuSpec()
{
    static const std::vector<MenuItemSpec> spec = {
        {"mnuFile", "&File", "", true, 1},
        {"mnuRen", "&Rename", "F2", true, 2},
        {"mnuDelete", "&Delete  ", "Del", true, 2},
        {"mnuMove", "&Move", "", true, 2},
        {"mmnuSep5", "-", "", true, 2},
        {"mnuDiskOpen", "&Open Disk", "", false, 2},
        {"mnuDisk", "Disk A", "", false, 3, 0},
        {"mnuDisk", "Disk C", "", true, 3, 2},
        {"mnuDisk", "Disk D", "", false, 3, 3},
        {"mnuDisk", "Disk E", "", false, 3, 4},
        {"mnuDisk", "Disk F", "", false, 3, 5},
        {"mnuImgInfo", "&Image Information", "", true, 2},
        {"mnuVFS", "View Full Screen", "", true, 2},
        {"mnu111", "-", "", true, 2},
        {"mnuExit", "E&xit", "", true, 2},
        {"mnuView", "&Image", "", true, 1},
        {"mnuFullScreen", "&View Full Screen", "", true, 2},
        {"mnuSep2", "-", "", true, 2},
        {"mnuEdit", "&Edit Current Inmage", "", true, 2},
        {"mnuTooltip", "&Tooltip", "", true, 1},
        {"mnuNewTooltip", "&New Tooltip", "", true, 2},
        {"mnuTooltipEd", "&Edit", "", true, 2},
        {"sep7", "-", "", true, 2},
        {"mnuTooltipDel", "&Delete", "", true, 2},
    };
    return spec;
}

QString MenuTree::KeyOf(const QString& name, int index)
{
    return index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(index);
}

MenuTree::MenuTree(QMenuBar* bar, const std::vector<MenuItemSpec>& spec)
{
    // The menu each level adds its items to; a row opens a submenu when the next row
    // is one level deeper.
    QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
    for (size_t i = 0; i < spec.size(); ++i) {
        const MenuItemSpec& item = spec[i];
        const bool opensMenu = i + 1 < spec.size() && spec[i + 1].level > item.level;
        QAction* action = nullptr;
        if (opensMenu) {
            QMenu* menu = item.level == 1 ? bar->addMenu(item.caption)
                                          : parents[item.level - 1]->addMenu(item.caption);
            menu->setObjectName(item.name);
            parents[item.level] = menu;
            m_menus.insert(item.name, menu);
            action = menu->menuAction();
        } else {
            QMenu* parent = parents[item.level - 1];
            // A "-" item is a line only: some styles draw a separator's text as a heading.
            action = item.caption == QLatin1String("-") ? parent->addSeparator()
                                                        : parent->addAction(item.caption);
            if (!item.shortcut.isEmpty())
                action->setShortcut(QKeySequence(item.shortcut));
        }
        action->setObjectName(KeyOf(item.name, item.index));
        action->setVisible(item.visible);
        m_actions.insert(KeyOf(item.name, item.index), action);
    }
}

QAction* MenuTree::Action(const QString& name) const
{
    return m_actions.value(name, nullptr);
}

QAction* MenuTree::ArrayItem(const QString& name, int index) const
{
    return m_actions.value(KeyOf(name, index), nullptr);
}

QMenu* MenuTree::Menu(const QString& name) const
{
    return m_menus.value(name, nullptr);
}
