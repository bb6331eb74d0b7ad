// The move dialog on its own, and the Move command through it.
#include "CommandsRig.h"
#include "ControlAdapter.h"
#include "FolderList.h"
#include "frmNewPath.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
// Lets a dialog that closed itself be deleted.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* nextTabStop(QWidget* from)
{
    QWidget* w = from->nextInFocusChain();
    while (w != from && !(w->focusPolicy() & Qt::TabFocus))
        w = w->nextInFocusChain();
    return w;
}

// Highlights the entry of `path`, as one click would; its row, or -1.
int highlight(FolderList& list, const QString& path)
{
    for (int row = 0; row < list.count(); ++row) {
        list.setCurrentRow(row);
        if (list.HighlightedPath() == path)
            return row;
    }
    return -1;
}
}

class TestMoveDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void designedLayout();
    void answers_data();
    void answers();
    void moveTakesFileSelectedAtConfirmation();
    void moveIntoSameFolderIsRefused();
};

void TestMoveDialog::designedLayout()
{
    CommandsRig rig;
    frmNewPath dialog(rig.fs, rig.at("pics"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Move Images"));
    QVERIFY(dialog.isWindow() && !dialog.parentWidget() && dialog.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!dialog.windowIcon().isNull());
    const double twipsPerPixel = dialog.Scale().UnitsPerPixelX();
    QVERIFY(qAbs(dialog.Scale().ScaleWidth() - 4335) <= twipsPerPixel / 2);
    QVERIFY(qAbs(dialog.Scale().ScaleHeight() - 4170) <= twipsPerPixel / 2);
    QCOMPARE(dialog.Label1->text(), QStringLiteral("Select the Folder where Move the Selected Image:"));
    QCOMPARE(dialog.cmdOK->text(), QStringLiteral("Move"));
    QCOMPARE(dialog.cmdAbort->text(), QStringLiteral("Cancel"));
    struct Expect { QWidget* control; double left, top, width, height; };
    for (const Expect& e : {Expect{dialog.Label1, 120, 120, 3600, 195}, Expect{dialog.dirNewPath, 120, 480, 3015, 3465},
                            Expect{dialog.cmdOK, 3240, 3120, 975, 375}, Expect{dialog.cmdAbort, 3240, 3600, 975, 375}}) {
        const ControlAdapter& b = dialog.Bounds(e.control);
        QCOMPARE(QVector<double>({b.Left(), b.Top(), b.Width(), b.Height()}),
                 QVector<double>({e.left, e.top, e.width, e.height}));
        QCOMPARE(e.control->x(), qRound(e.left / twipsPerPixel));
    }
    QCOMPARE(nextTabStop(dialog.dirNewPath), static_cast<QWidget*>(dialog.cmdOK));
    QCOMPARE(nextTabStop(dialog.cmdOK), static_cast<QWidget*>(dialog.cmdAbort));
    for (QPushButton* button : {dialog.cmdOK, dialog.cmdAbort})
        QVERIFY(!button->isDefault() && !button->autoDefault());
}

void TestMoveDialog::answers_data()
{
    QTest::addColumn<QString>("highlighted");  // one click: highlighted, not opened
    QTest::addColumn<QString>("opened");       // double click
    QTest::addColumn<QString>("button");       // "Move", "Cancel" or "" for the close button
    QTest::addColumn<QStringList>("reported");
    QTest::newRow("untouched") << "" << "" << "Move" << QStringList{"pics"};
    QTest::newRow("highlighted only") << "pics/sub" << "" << "Move" << QStringList{"pics"};
    QTest::newRow("opened a subfolder") << "" << "pics/sub" << "Move" << QStringList{"pics/sub"};
    QTest::newRow("Cancel") << "" << "pics/sub" << "Cancel" << QStringList{};
    QTest::newRow("close button") << "" << "pics/sub" << "" << QStringList{};
}

void TestMoveDialog::answers()
{
    QFETCH(QString, highlighted);
    QFETCH(QString, opened);
    QFETCH(QString, button);
    QFETCH(QStringList, reported);

    CommandsRig rig;
    QPointer<frmNewPath> dialog = new frmNewPath(rig.fs, rig.at("pics"));
    dialog->show();
    QStringList heard;
    connect(dialog, &frmNewPath::NewSelected, this, [&](QString& sPath) {
        QVERIFY(dialog && dialog->isVisible());  // raised before the dialog unloads
        heard << sPath;
    });
    if (!highlighted.isEmpty())
        QVERIFY(highlight(*dialog->dirNewPath, rig.at(highlighted)) >= 0);
    if (!opened.isEmpty()) {
        const int row = highlight(*dialog->dirNewPath, rig.at(opened));
        QVERIFY(row >= 0);
        Q_EMIT dialog->dirNewPath->itemDoubleClicked(dialog->dirNewPath->item(row));
    }
    if (button.isEmpty())
        dialog->close();
    else
        QTest::mouseClick(button == QLatin1String("Move") ? dialog->cmdOK : dialog->cmdAbort, Qt::LeftButton);
    for (QString& folder : reported)
        folder = rig.at(folder);
    QCOMPARE(heard, reported);
    flushDeletes();
    QVERIFY(dialog.isNull());
}

void TestMoveDialog::moveTakesFileSelectedAtConfirmation()
{
    CommandsRig rig;
    rig.list->SetListIndex(0);
    QPointer<frmNewPath> older = rig.commands->mnuMove_Click(rig.at("pics"));
    QPointer<frmNewPath> newer = rig.commands->mnuMove_Click(rig.at("pics"));
    QVERIFY(older && newer && older != newer);
    QCOMPARE(rig.commands->MoveDialog(), newer.data());
    // An earlier dialog still open is no longer listened to.
    older->dirNewPath->SetPath(rig.at("other"));
    QTest::mouseClick(older->cmdOK, Qt::LeftButton);
    QVERIFY(QDir(rig.at("other")).isEmpty());

    // The main window stays usable: another file is chosen while the dialog is open.
    rig.list->SetListIndex(2);
    newer->dirNewPath->SetPath(rig.at("other"));
    QTest::mouseClick(newer->cmdOK, Qt::LeftButton);
    QCOMPARE(CommandsRig::read(rig.at("other/c.jpg")), QByteArray("c.jpg"));
    QVERIFY(!QFile::exists(rig.at("pics/c.jpg")));
    QCOMPARE(rig.rekeys, (QVector<QPair<QString, QString>>{{rig.at("pics/c.jpg"), rig.at("other/c.jpg")}}));
    QVERIFY(rig.dialogs.calls().isEmpty());
    QCOMPARE(rig.list->ListCount(), 4);
    flushDeletes();
}

void TestMoveDialog::moveIntoSameFolderIsRefused()
{
    CommandsRig rig;
    rig.list->SetListIndex(4);
    QTest::mouseClick(rig.commands->mnuMove_Click(rig.at("pics"))->cmdOK, Qt::LeftButton);
    QCOMPARE(rig.dialogs.calls().size(), 1);
    CommandsRig::verifyError(rig.dialogs.calls()[0], QStringLiteral("Unable to Rename or Move  ") + rig.at("pics/e.jpg"));
    QCOMPARE(CommandsRig::read(rig.at("pics/e.jpg")), QByteArray("e.jpg"));
    QVERIFY(rig.rekeys.isEmpty());
    flushDeletes();
}

std::unique_ptr<QObject> newMoveDialogTest() { return std::make_unique<TestMoveDialog>(); }
#include "tst_MoveDialog.moc"
