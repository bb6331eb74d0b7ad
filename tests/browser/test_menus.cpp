// The menu tree read back from the real main window's menu bar.
#include "BrowserFixture.h"
#include "MenuTree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {
// One line per item as a user meets it: depth, caption, shortcut, visibility.
struct Row {
    int depth;
    QString caption;
    QString shortcut;
    bool visible;
};

void readBack(const QList<QAction*>& actions, int depth, QVector<Row>& rows)
{
    for (QAction* a : actions) {
        rows.push_back({depth, a->isSeparator() ? QStringLiteral("-") : a->text(),
                        a->shortcut().toString(), a->isVisible()});
        // Qt disables what it hides, so only shown items can be seen enabled.
        QVERIFY2((a->isEnabled() || !a->isVisible()) && !a->isChecked(), qPrintable(a->text()));
        if (a->menu())
            readBack(a->menu()->actions(), depth + 1, rows);
    }
}
}

class TestMenus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menuBarMatchesTheDesign();
    void popupIsTheFileMenu();
};

void TestMenus::menuBarMatchesTheDesign()
{
    BrowserFixture f;
    frmFileDir& form = f.start();
    QVector<Row> rows;
    readBack(form.menuBar()->actions(), 1, rows);

    const QVector<Row> expected = {
        {1, "&File", "", true},
        {2, "&Rename", "F2", true},
        {2, "&Delete  ", "Del", true},
        {2, "&Move", "", true},
        {2, "-", "", true},
        {2, "&Open Disk", "", false},
        {3, "Disk A", "", false},
        {3, "Disk C", "", true},
        {3, "Disk D", "", false},
        {3, "Disk E", "", false},
        {3, "Disk F", "", false},
        {2, "&Image Information", "", true},
        {2, "View Full Screen", "", true},
        {2, "-", "", true},
        {2, "E&xit", "", true},
        {1, "&Image", "", true},
        {2, "&View Full Screen", "", true},
        {2, "-", "", true},
        {2, "&Edit Current Inmage", "", true},
        {1, "&Tooltip", "", true},
        {2, "&New Tooltip", "", true},
        {2, "&Edit", "", true},
        {2, "-", "", true},
        {2, "&Delete", "", true},
    };
    QCOMPARE(rows.size(), expected.size());
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].depth, expected[i].depth);
        QCOMPARE(rows[i].caption, expected[i].caption);
        QCOMPARE(rows[i].shortcut, expected[i].shortcut);
        QCOMPARE(rows[i].visible, expected[i].visible);
    }
    // The disk items form one array, indexed by drive number; there is no B.
    QCOMPARE(form.Menus().ArrayItem(QStringLiteral("mnuDisk"), 3)->text(), QStringLiteral("Disk D"));
    QVERIFY(form.Menus().ArrayItem(QStringLiteral("mnuDisk"), 1) == nullptr);
}

void TestMenus::popupIsTheFileMenu()
{
    BrowserFixture f;
    frmFileDir& form = f.start();
    QMenu* fileMenu = form.Menus().Menu(QStringLiteral("mnuFile"));
    QCOMPARE(form.menuBar()->actions().first()->menu(), fileMenu);
    QAction* open = form.Menus().Action(QStringLiteral("mnuDiskOpen"));
    QVERIFY(fileMenu->actions().contains(open));
    QVERIFY(!open->isVisible());  // so neither the bar nor the popup offers it
}

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
