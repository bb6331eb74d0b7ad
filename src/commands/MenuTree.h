#pragma once
#include <QHash>
#include <QString>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

// One row of the main window's menu tree: the item's name, its exact caption ("&"
// marks the access key, "-" a separator), its shortcut, its visibility when the window
// opens and its depth (1 a menu of the bar, 2 an item, 3 an item of a submenu).
// Items of a control array carry their index (mnuDisk(2)), others -1.
struct MenuItemSpec {
    QString name;
    QString caption;
    QString shortcut;
    bool visible;
    int level;
    int index = -1;
};

// The menu tree as the main window shows it, in display order.
const std::vector<MenuItemSpec>& MainMenuSpec();

// Builds the menu tree into a menu bar and finds its items again by name. Get one per
// main window: `MenuTree menus(menuBar());`. Items are enabled and unchecked.
class MenuTree {
public:
    explicit MenuTree(QMenuBar* bar, const std::vector<MenuItemSpec>& spec = MainMenuSpec());

    // The action of an item ("mnuRen", "mnuDisk(2)"); nullptr for an unknown name.
    QAction* Action(const QString& name) const;
    // The action of an array item, such as mnuDisk with index 3; nullptr when absent.
    QAction* ArrayItem(const QString& name, int index) const;
    // A menu that holds items ("mnuFile", "mnuDiskOpen"); nullptr for a leaf item.
    QMenu* Menu(const QString& name) const;

    static QString KeyOf(const QString& name, int index);

private:
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
};
