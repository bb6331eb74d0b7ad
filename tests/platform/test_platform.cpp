// Tests of the platform services that have no list control behind them: patterns,
// a control's negative width, errors at the event boundary, the real text prompt,
// volumes. Rounding, unit conversion and control bounds are checked through the geometry,
// picture, viewer and Image Information tests and the main window's layout after a drag;
// the settings file through the main window and the acceptance run.
#include "AppError.h"
#include "ControlAdapter.h"
#include "FormScale.h"
#include "IFileSystem.h"
#include "QtDialogs.h"
#include "ShownDialogs.h"
#include "Units.h"
#include "WildcardPattern.h"

#include <QtWidgets>
#include <QtTest>

// A row of the pattern table: whether `pattern` matches `name` (both UTF-8).
struct Match { const char *pattern, *name; bool matches; };
Q_DECLARE_METATYPE(Match)
// A real text prompt confirmed by a "user": its default text, what is pasted over it ("" to
// paste nothing), and the text the prompt must return. Cancel is in the acceptance run.
struct Prompt { QString defaultText, pasted, returned; };
Q_DECLARE_METATYPE(Prompt)

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wildcard_data()
    {
        QTest::addColumn<Match>("row");
        const char* images = "*.jpg;*.gif;*.bmp;*.dib";
        QTest::newRow("other type") << Match{images, "a.png", false};
        QTest::newRow("extension only inside") << Match{images, "a.jpg.txt", false};
        QTest::newRow("bare extension") << Match{images, ".jpg", true};
        QTest::newRow("star matches empty") << Match{"*", "", true};
        QTest::newRow("question mark is one char") << Match{"a?c", "abc", true};
        QTest::newRow("question mark needs a char") << Match{"a?c", "ac", false};
        QTest::newRow("backtracking") << Match{"*a*b", "aaaaaab", true};
        QTest::newRow("backtracking fails") << Match{"*a*b", "aaaaaac", false};
        QTest::newRow("empty parts skipped") << Match{";;*.bmp;", "x.bmp", true};
        QTest::newRow("non-ASCII folded") << Match{"*.jpg", "ÄÖÜ.JPG", true};
        QTest::newRow("pattern in capitals, from the settings") << Match{"*.GIF;*.Jpg", "a.jpg", true};
        // Found by fuzzing: a '*' in the name was taken for a literal, and the matcher could not back up.
        QTest::newRow("fuzzer's star in the name") << Match{"*a*b", "*.PNxa*axb", true};
        QTest::newRow("star in the name, then question mark") << Match{"*?b", "*xab", true};
        QTest::newRow("star in the name, rest missing") << Match{"a*b", "a*x", false};
        QTest::newRow("star against stars only") << Match{"*x*", "**", false};
    }

    void wildcard()
    {
        QFETCH(Match, row);
        const QString pattern = QString::fromUtf8(row.pattern), name = QString::fromUtf8(row.name);
        const WildcardPattern wildcard(pattern);
        QCOMPARE(wildcard.Matches(name), row.matches);
        // The quick path for a name of plain ASCII.
        if (name.toLatin1() == QByteArray(row.name))
            QCOMPARE(wildcard.MatchesAsciiLower(name.toLower().toStdString()), row.matches);
    }

    // A window made tiny gives a control a negative width: it is placed as empty. Only a
    // window on screen shows it; an unshown one has Qt clamp the size by itself.
    void controlAdapterClampsANegativeWidth()
    {
        QWidget form;
        auto* child = new QWidget(&form);
        FormScale scale(&form, &form, Units::Twips);
        ControlAdapter bounds(child, scale);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        bounds.SetWidth(-300);
        QCOMPARE(child->width(), 0);
    }

    // Any exception but an AppError (whose number and text the viewer's test sees reported)
    // is an internal error; the box has the application's own title.
    void eventBoundaryShowsRunTimeError()
    {
        ScriptedDialogs dialogs;
        RunEventHandler(dialogs, [] { throw std::runtime_error("boom"); });
        QCOMPARE(Shown(dialogs), QStringList{"MsgBox|Run-time error 51:\n\nInternal error: boom|0||"});
    }

    // Comments far longer than a line edit's usual limit come back whole.
    void inputBoxReturnsTheWholeText_data()
    {
        QTest::addColumn<Prompt>("row");
        QString big;
        for (int i = 0; big.size() < 100 * 1024; ++i)
            big += QStringLiteral("line %1 of a long comment, ").arg(i);
        const QString other = big.toUpper() + QStringLiteral(" end");
        QTest::newRow("100 KB default confirmed") << Prompt{big, "", big};
        QTest::newRow("pasted over a 100 KB default") << Prompt{big, other, other};
    }

    void inputBoxReturnsTheWholeText()
    {
        QFETCH(Prompt, row);
        bool answered = false;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog || answered)
                return;
            answered = true;
            if (!row.pasted.isEmpty()) {
                QLineEdit* edit = dialog->findChild<QLineEdit*>();
                edit->selectAll();
                edit->insert(row.pasted);  // what a paste does
            }
            dialog->accept();
        });
        user.start(10);
        QtDialogs dialogs;
        const QString text = dialogs.InputBox(QStringLiteral("Prompt"), QStringLiteral("Title"), row.defaultText);
        QCOMPARE(text, row.returned);
    }

    // A path in a message is never split over two lines, and markup in it shows as typed.
    void messageKeepsAPathWhole()
    {
        const QString path = QStringLiteral("/home/someone/Pictures/holidays/2026/<b>summer</b>/by-the-sea/a-portable-copy-of-the-program/in-a-folder-with-a-rather-long-name-indeed/Tooltips.mdb");
        const QString text = QStringLiteral("The comment could not be saved: the comment database %1 does not exist.").arg(path);
        QString shown;
        int lines = 0;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !shown.isNull())
                return;
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            // Laid out as the label lays it out, at the label's width: where do lines break?
            QTextDocument document;
            document.setDefaultFont(label->font());
            label->textFormat() == Qt::PlainText ? document.setPlainText(label->text()) : document.setHtml(label->text());
            document.setDocumentMargin(0);
            document.setTextWidth(label->contentsRect().width());
            document.size();  // lays the text out
            shown = document.toPlainText();
            const int at = shown.indexOf(path);
            const QTextBlock block = document.findBlock(at);
            if (at >= 0 && block.layout()) {
                QTextLayout* layout = block.layout();
                const int first = layout->lineForTextPosition(at - block.position()).lineNumber();
                const int last = layout->lineForTextPosition(at - block.position() + int(path.size()) - 1).lineNumber();
                lines = last - first + 1;
            }
            box->button(QMessageBox::Ok)->click();
        });
        user.start(10);
        QtDialogs dialogs;
        QCOMPARE(dialogs.MsgBox(text, 48, QStringLiteral("Title")), int(IDialogs::vbOK));
        QCOMPARE(shown.simplified(), text);  // the path may stand on a line of its own
        QCOMPARE(lines, 1);
    }

    // A volume holds what lies below its root folder, not a folder whose name merely starts
    // alike. The longest root winning is the list controls' chain test; a root being its own
    // volume, the main window's.
    void volumeRootEndsAtAFolder()
    {
        const std::vector<VolumeInfo> volumes{{"/", {}}, {"/media/usb", {}}};
        QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb2/x")), QStringLiteral("/"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
