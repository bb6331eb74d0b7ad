#include "CommentCommands.h"
#include "CommentsTest.h"
#include "FakeTooltipBackend.h"
#include "Globals.h"
#include "IPreviewTooltip.h"
#include "ScriptedDialogs.h"
#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

#include <algorithm>

namespace {
class FakePreview : public IPreviewTooltip {
public:
    QString file;
    QString tooltip = QStringLiteral("untouched");
    QString CurrentFile() const override { return file; }
    void SetToolTipText(const QString& sText) override { tooltip = sText; }
};

// The comment handling of a main window over a fresh store in a temporary folder; the
// current image, named to trip up SQL text, has the comments `seed`, oldest first.
struct Window {
    QTemporaryDir dir;
    QString file = CreateStore(dir.path());
    TooltipStore store;
    ScriptedDialogs dialogs;
    Globals globals{dialogs};
    FakePreview preview;
    CommentCommands commands{store, globals, preview};

    explicit Window(const QStringList& seed)
    {
        preview.file = dir.path() + QStringLiteral("/it's \"a\" or \"1\"=\"1; b.jpg");
        store.Open(dir.path());
        for (const QString& comment : seed)
            AddComment(store, preview.file, comment);
    }
    // The comments in the file, all of which must belong to the current image.
    QStringList comments() const
    {
        QStringList texts;
        for (const QString& row : AllRows(file))
            texts << (row.startsWith(preview.file + QLatin1Char('|')) ? row.mid(preview.file.size() + 1)
                                                                      : QStringLiteral("stray row ") + row);
        return texts;
    }
    int count(const char* kind) const
    {
        return int(std::count_if(dialogs.calls().cbegin(), dialogs.calls().cend(),
                                 [&](const ScriptedDialogs::Call& c) { return c.kind == QLatin1String(kind); }));
    }
};

const QString kTitle = QStringLiteral("Images Browser and Viewer");
}

void CommentsTest::newTooltip_data()
{
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<QString>("shownLater");
    QTest::newRow("cancelled") << QStringList{} << "" << QStringList{} << "untouched" << "";
    QTest::newRow("cancelled over a comment") << QStringList{"old"} << "" << QStringList{"old"} << "untouched" << "old";
    QTest::newRow("blanks kept") << QStringList{} << "  two  words " << QStringList{"  two  words "} << "  two  words "
                                 << "  two  words ";
    QTest::newRow("second comment") << QStringList{"first"} << "second" << QStringList{"first", "second"} << "second"
                                    << "first";
}

void CommentsTest::newTooltip()
{
    QFETCH(QStringList, seed);
    QFETCH(QString, answer);
    QFETCH(QStringList, after);
    QFETCH(QString, tooltip);
    QFETCH(QString, shownLater);
    Window w(seed);
    w.store.Lookup(w.preview.file);  // the image was selected
    w.dialogs.queueInputAnswer(answer);

    w.commands.NewTooltip();
    QCOMPARE(w.dialogs.calls().size(), 1);
    const ScriptedDialogs::Call& prompt = w.dialogs.calls().first();
    QCOMPARE(prompt.kind, QStringLiteral("InputBox"));
    QCOMPARE(prompt.text, QStringLiteral("Insert a Comment for this Image"));
    QCOMPARE(prompt.title, kTitle);
    QCOMPARE(prompt.defaultText, QString());
    QCOMPARE(w.comments(), after);
    QCOMPARE(w.preview.tooltip, tooltip);
    QCOMPARE(w.store.LookupTooltip(w.preview.file), Text(shownLater));
}

void CommentsTest::editTooltip_data()
{
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("no comment: no prompt") << QStringList{} << "unasked" << QStringList{};
    QTest::newRow("emptied: kept") << QStringList{"first", "second"} << "" << QStringList{"first", "second"};
    QTest::newRow("changed") << QStringList{"first", "second"} << " edited " << QStringList{" edited ", "second"};
}

void CommentsTest::editTooltip()
{
    QFETCH(QStringList, seed);
    QFETCH(QString, answer);
    QFETCH(QStringList, after);
    Window w(seed);
    w.dialogs.queueInputAnswer(answer);

    w.commands.EditTooltip();
    QCOMPARE(w.count("MsgBox"), 0);
    QCOMPARE(w.count("InputBox"), seed.isEmpty() ? 0 : 1);
    if (!seed.isEmpty()) {
        const ScriptedDialogs::Call& prompt = w.dialogs.calls().first();
        QCOMPARE(prompt.text, QStringLiteral("Insert a new Comment for this Image:"));
        QCOMPARE(prompt.title, kTitle);
        QCOMPARE(prompt.defaultText, seed.first());
    }
    QCOMPARE(w.comments(), after);
    QCOMPARE(w.preview.tooltip, QStringLiteral("untouched"));
}

void CommentsTest::deleteTooltip_data()
{
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("times");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("first of two") << QStringList{"first", "second"} << true << 1 << QStringList{"second"} << "";
    QTest::newRow("twice, no lookup between") << QStringList{"first", "second"} << true << 2 << QStringList{"second"}
                                              << "";
    QTest::newRow("no comment") << QStringList{} << true << 1 << QStringList{} << "untouched";
    QTest::newRow("nothing looked up yet") << QStringList{"first"} << false << 1 << QStringList{"first"} << "untouched";
}

void CommentsTest::deleteTooltip()
{
    QFETCH(QStringList, seed);
    QFETCH(bool, selected);
    QFETCH(int, times);
    QFETCH(QStringList, after);
    QFETCH(QString, tooltip);
    Window w(seed);
    if (selected)
        w.store.Lookup(w.preview.file);
    for (int i = 0; i < times; ++i)
        w.commands.DeleteTooltip();
    QCOMPARE(w.dialogs.calls().size(), 0);  // no confirmation
    QCOMPARE(w.comments(), after);
    QCOMPARE(w.preview.tooltip, tooltip);
}

// When the comment cannot be stored, each command says so in one sentence and changes
// nothing; it does not ask for a text that it knows it cannot keep.
void CommentsTest::refusedChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("reason");
    const QList<std::pair<QString, QString>> conditions = {
        {"not opened", "the comment database is not open"},
        {"Jet file", "the file %1 is not a comment database"},
        {"read-only file", "the comment database is read-only"},
        {"read-only (fake)", "the comment database is read-only"},
        {"locked (fake)", "the comment database is locked by another program"},
    };
    for (const QString command : {"New", "Edit", "Delete"})
        for (const auto& [condition, reason] : conditions)
            QTest::addRow("%s, %s", qPrintable(command), qPrintable(condition)) << command << condition << reason;
}

void CommentsTest::refusedChanges()
{
    QFETCH(QString, command);
    QFETCH(QString, condition);
    QFETCH(QString, reason);
    Window w({QStringLiteral("old")});
    w.store.Close();
    FakeTooltipBackend* fake = nullptr;
    if (condition == QLatin1String("Jet file")) {
        WriteFile(w.file, kJetHeader);
        QVERIFY(!TryStep([&] { w.store.Open(w.dir.path()); }));
        reason = reason.arg(w.file);
    } else if (condition == QLatin1String("read-only file")) {
        w.store.Open(std::make_unique<SqliteTooltipBackend>(w.file, SqliteTooltipBackend::Access::ReadOnly));
    } else if (condition != QLatin1String("not opened")) {
        auto backend = std::make_unique<FakeTooltipBackend>();
        fake = backend.get();
        fake->AddRow(w.preview.file, QStringLiteral("old"));
        w.store.Open(std::move(backend));
        if (condition == QLatin1String("read-only (fake)"))
            fake->SetReadOnly(true);
        else
            fake->RefuseWrites(TooltipErr::Locked);
    }
    const QByteArray fileBefore = Contents(w.file);
    TryStep([&] { w.store.Lookup(w.preview.file); });  // the image was selected
    w.dialogs.queueInputAnswer(QStringLiteral("new text"));

    if (command == QLatin1String("New"))
        w.commands.NewTooltip();
    else if (command == QLatin1String("Edit"))
        w.commands.EditTooltip();
    else
        w.commands.DeleteTooltip();

    // Only a refusal the store cannot foresee comes after the prompt.
    QCOMPARE(w.count("InputBox"), command != QLatin1String("Delete") && condition == QLatin1String("locked (fake)"));
    QCOMPARE(w.count("MsgBox"), 1);
    const ScriptedDialogs::Call& box = w.dialogs.calls().last();
    const QString verb = command == QLatin1String("Delete") ? QStringLiteral("deleted") : QStringLiteral("saved");
    QCOMPARE(box.text, QStringLiteral("The comment could not be %1: %2.").arg(verb, reason));
    QCOMPARE(box.style, 48);
    QCOMPARE(box.title, kTitle);
    QCOMPARE(w.preview.tooltip, QStringLiteral("untouched"));
    QCOMPARE(Contents(w.file), fileBefore);
    if (fake)
        QCOMPARE(fake->Rows().first().tooltip, Text("old"));
}
