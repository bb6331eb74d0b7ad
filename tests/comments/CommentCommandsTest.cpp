#include "CommentCommands.h"
#include "CommentsTest.h"
#include "Globals.h"
#include "IPreviewTooltip.h"
#include "ScriptedDialogs.h"
#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

namespace {
// The comment handling of a main window over a fresh store in a temporary folder; its
// image, named to trip up SQL text, has the comments `seed`, oldest first.
struct Window : IPreviewTooltip {
    QTemporaryDir dir;
    QString file = CreateStore(dir.path());
    QString image = dir.path() + QStringLiteral("/it's \"a\" or \"1\"=\"1; b.jpg");
    QString tooltip = QStringLiteral("untouched");
    TooltipStore store;
    ScriptedDialogs dialogs;
    Globals globals{dialogs};
    CommentCommands commands{store, globals, *this};

    explicit Window(const QStringList& seed)
    {
        store.Open(dir.path());
        for (const QString& comment : seed)
            AddComment(store, image, comment);
    }
    QString CurrentFile() const override { return image; }
    void SetToolTipText(const QString& sText) override { tooltip = sText; }

    // "Select" looks the image up as selecting it does; the other steps are menu commands.
    void run(const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(' ')))
            step == u"Select" ? store.Lookup(image)
            : step == u"New"  ? commands.NewTooltip()
            : step == u"Edit" ? commands.EditTooltip()
                              : commands.DeleteTooltip();
    }
};

const QString kTitle = QStringLiteral("Images Browser and Viewer");
const QString kNewPrompt = QStringLiteral("Insert a Comment for this Image");
const QString kEditPrompt = QStringLiteral("Insert a new Comment for this Image:");
}

void CommentsTest::commandsActOnTheFirstRow_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("prompt");  // empty: the command asks nothing
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("tooltip");
    const QStringList one{"first"};
    const QStringList two{"first", "second"};
    QTest::newRow("New, cancelled") << "Select New" << one << "" << kNewPrompt << one << "untouched";
    QTest::newRow("New, blanks kept") << "New" << QStringList{} << " a  b " << kNewPrompt << QStringList{" a  b "}
                                      << " a  b ";
    QTest::newRow("New, second comment") << "Select New" << one << "second" << kNewPrompt << two << "second";
    // New does not move the current record: Delete still removes the selected comment.
    QTest::newRow("New, then Delete") << "Select New Delete" << one << "second" << kNewPrompt
                                      << QStringList{"second"} << "";
    QTest::newRow("Edit, no comment") << "Edit" << QStringList{} << "unasked" << "" << QStringList{} << "untouched";
    QTest::newRow("Edit, emptied") << "Edit" << two << "" << kEditPrompt << two << "untouched";
    QTest::newRow("Edit, changed") << "Edit" << two << "new" << kEditPrompt << QStringList{"new", "second"}
                                   << "untouched";
    QTest::newRow("Delete twice") << "Select Delete Delete" << two << "" << "" << QStringList{"second"} << "";
    QTest::newRow("Delete, nothing selected") << "Delete" << one << "" << "" << one << "untouched";
}

void CommentsTest::commandsActOnTheFirstRow()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, seed);
    QFETCH(QString, answer);
    QFETCH(QString, prompt);
    QFETCH(QStringList, after);
    QFETCH(QString, tooltip);
    Window w(seed);
    w.dialogs.queueInputAnswer(answer);

    w.run(steps);
    QCOMPARE(w.dialogs.calls().size(), prompt.isEmpty() ? 0 : 1);  // no confirmation, no error
    if (!prompt.isEmpty()) {
        const ScriptedDialogs::Call& call = w.dialogs.calls().first();
        QCOMPARE(call.text, prompt);
        QCOMPARE(call.title, kTitle);
        QCOMPARE(call.defaultText, prompt == kEditPrompt ? seed.first() : QString());
    }
    QCOMPARE(w.tooltip, tooltip);
    QCOMPARE(w.store.LookupTooltip(w.image), Text(after.value(0)));  // the first row shows
    for (QString& comment : after)  // every row belongs to the image
        comment.prepend(w.image + QLatin1Char('|'));
    QCOMPARE(AllRows(w.file), after);
}

// When the comment cannot be stored, each command says so in one sentence and changes
// nothing; it does not ask for a text that it knows it cannot keep.
void CommentsTest::refusedChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("reason");
    const QString locked = QStringLiteral("the comment database is locked by another program");
    const QString readOnly = QStringLiteral("the comment database is read-only");
    QTest::newRow("New, not opened") << "New" << "not opened" << "the comment database is not open";
    QTest::newRow("New, locked") << "New" << "locked" << locked;
    QTest::newRow("Edit, read-only") << "Edit" << "read-only" << readOnly;
    QTest::newRow("Edit, locked") << "Edit" << "locked" << locked;
    QTest::newRow("Delete, Jet file") << "Delete" << "Jet file" << "the file %1 is not a comment database";
    QTest::newRow("Delete, read-only") << "Delete" << "read-only" << readOnly;
}

void CommentsTest::refusedChanges()
{
    QFETCH(QString, command);
    QFETCH(QString, condition);
    QFETCH(QString, reason);
    Window w({QStringLiteral("old")});
    w.store.Close();
    if (condition == u"Jet file") {
        WriteFile(w.file, kJetHeader);
        QCOMPARE(ErrorOf([&] { w.store.Open(w.dir.path()); }), TooltipErr::NotADatabase);
        reason = reason.arg(w.file);
    } else if (condition != u"not opened") {
        const auto access = condition == u"read-only" ? SqliteTooltipBackend::Access::ReadOnly
                                                      : SqliteTooltipBackend::Access::Auto;
        w.store.Open(std::make_unique<SqliteTooltipBackend>(w.file, access, 100));
    }
    const QByteArray fileBefore = Contents(w.file);
    w.dialogs.queueInputAnswer(QStringLiteral("new text"));
    const QString steps = w.store.IsOpen() ? QStringLiteral("Select ") + command : command;

    if (condition == u"locked")  // another copy holds the write lock meanwhile
        Sql(w.file, {QStringLiteral("BEGIN IMMEDIATE")}, [&] { w.run(steps); });
    else
        w.run(steps);
    // Only a refusal the store cannot foresee comes after the prompt.
    QCOMPARE(w.dialogs.calls().size(), command != u"Delete" && condition == u"locked" ? 2 : 1);
    const ScriptedDialogs::Call& box = w.dialogs.calls().last();
    const QString verb = command == u"Delete" ? QStringLiteral("deleted") : QStringLiteral("saved");
    QCOMPARE(box.text, QStringLiteral("The comment could not be %1: %2.").arg(verb, reason));
    QCOMPARE(box.style, 48);
    QCOMPARE(box.title, kTitle);
    QCOMPARE(w.tooltip, QStringLiteral("untouched"));
    QCOMPARE(Contents(w.file), fileBefore);
}
