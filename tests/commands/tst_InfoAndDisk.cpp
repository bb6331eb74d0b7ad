// Image Information and the Open Disk items.
#include "Globals.h"
#include "FakeScaleForm.h"
#include "ImageInformation.h"
#include "MenuTree.h"
#include "OpenDisk.h"
#include "ShownDialogs.h"

#include <QAction>
#include <QMenuBar>
#include <QtTest>
#include <climits>
#include <memory>

class TestInfoAndDisk : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void imageInformation()
    {
        ScriptedDialogs dialogs;
        Globals globals(dialogs);
        const FakeScaleForm at120(120), at254(254);
        ImageInformation(globals, at120).mnuImgInfo_Click(QStringLiteral("/p/a.jpg"), 13547, 10160);
        ImageInformation(globals, at120).mnuImgInfo_Click(QString(), 13547, 10160);
        // The answer has no icon or title of its own, so the program's title shows; the error box has both.
        QCOMPARE(Shown(dialogs), QStringList({"MsgBox|Height = 480  Width = 640|0||",
                                              ErrorBox(QStringLiteral("You must select an image !"))}));
        // At 254 DPI a HIMETRIC unit is a tenth of a pixel, so both roundings (halves to even) show.
        QCOMPARE(ImageInformation(globals, at254).Message(35, 25), QStringLiteral("Height = 2  Width = 4"));
        QCOMPARE(ImageInformation(globals, at254).Message(24.5, 25.5), QStringLiteral("Height = 3  Width = 2"));
    }

    void driveItems()
    {
        QMenuBar bar;
        MenuTree menus(&bar);
        const auto visibleAfter = [&](int mask) {
            OpenDisk::UpdateDriveItems(menus, mask);
            QList<int> visible;
            for (int i = 0; i < 26; ++i)
                if (const QAction* item = menus.ArrayItem(QStringLiteral("mnuDisk"), i); item && item->isVisible())
                    visible << i;
            return visible;
        };
        // C is always there; B and anything past F have no item, a negative mask shows nothing.
        QCOMPARE(visibleAfter(0), QList<int>{2});
        QCOMPARE(visibleAfter(0b10 | (1 << 6) | (1 << 25)), QList<int>{2});
        QCOMPARE(visibleAfter(int(INT_MIN | 0b111001)), QList<int>{2});
        QCOMPARE(visibleAfter(0b1101), QList<int>({0, 2, 3}));
        // Items once shown are never hidden again.
        QCOMPARE(visibleAfter(0b110000), QList<int>({0, 2, 3, 4, 5}));
        QCOMPARE(visibleAfter(0), QList<int>({0, 2, 3, 4, 5}));
    }
};

std::unique_ptr<QObject> newInfoAndDiskTest() { return std::make_unique<TestInfoAndDisk>(); }
#include "tst_InfoAndDisk.moc"
