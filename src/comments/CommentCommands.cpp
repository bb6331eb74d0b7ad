#include "CommentCommands.h"
#include "BusyCursor.h"
#include "Globals.h"
#include "IDialogs.h"
#include "IPreviewTooltip.h"
#include "TooltipErrors.h"
#include "TooltipStore.h"

namespace {
// Each command says what it could not do.
const QString kSaved = QStringLiteral("saved");
const QString kChanged = QStringLiteral("changed");
const QString kDeleted = QStringLiteral("deleted");
}

CommentCommands::CommentCommands(TooltipStore& store, Globals& globals, IPreviewTooltip& preview)
    : m_store(store), m_globals(globals), m_preview(preview)
{
}

void CommentCommands::reportFailure(const QString& sWhat, const AppError& error)
{
    m_globals.ShowError(QStringLiteral("The comment could not be %1: %2.")
                            .arg(sWhat, TooltipErrorReason(error)));
}

void CommentCommands::NewTooltip()
{
    try {
        // Asked before the prompt, so the user does not type a comment that cannot be kept.
        m_store.CheckWritable();
    } catch (const AppError& error) {
        reportFailure(kSaved, error);
        return;
    }
    const QString answer = m_globals.Dialogs().InputBox(
        QStringLiteral("Insert a Comment for this Image"), LoadResString(ResId::AppTitle), QString());
    if (answer.isEmpty())
        return;
    try {
        // Another program may hold the store locked: waited for, up to the store's timeout.
        const BusyCursor busy;
        // No lookup first: an image that has a comment gets a second row, and the first
        // one keeps showing when the image is selected again.
        m_store.AddNew();
        m_store.SetField(QStringLiteral("Path"), m_preview.CurrentFile());
        m_store.SetField(QStringLiteral("Tooltip"), answer);
        m_store.Update();
    } catch (const AppError& error) {
        reportFailure(kSaved, error);
        return;
    }
    m_preview.SetToolTipText(answer);
}

void CommentCommands::EditTooltip()
{
    QString current;
    try {
        const BusyCursor busy;
        m_store.Lookup(m_preview.CurrentFile());
        if (m_store.AbsolutePosition() == -1)
            return;
        m_store.CheckWritable();
        // A comment without a value is offered as an empty text.
        current = m_store.Field(QStringLiteral("Tooltip")).value_or(QString());
    } catch (const AppError& error) {
        reportFailure(kChanged, error);
        return;
    }
    const QString answer = m_globals.Dialogs().InputBox(
        QStringLiteral("Insert a new Comment for this Image:"), LoadResString(ResId::AppTitle),
        current);
    // Confirmed unchanged: nothing is written, so the stored text stays byte for byte.
    if (answer.isEmpty() || answer == current)
        return;
    try {
        const BusyCursor busy;
        // Refused when another copy changed or deleted the comment since the lookup: the
        // user hears that the text was not saved rather than losing the other change.
        m_store.Edit();
        m_store.SetField(QStringLiteral("Tooltip"), answer);
        m_store.Update();
    } catch (const AppError& error) {
        reportFailure(kChanged, error);
    }
    // The preview's tooltip keeps its text until the image is selected again.
}

void CommentCommands::DeleteTooltip()
{
    try {
        // No lookup: the row to delete is the one the most recent lookup made current,
        // in the ordinary flow the selected image's comment. The selection's own lookup
        // may not have come back yet; then it is made here.
        const BusyCursor busy;
        if (m_store.IsLookupPending())
            m_store.Lookup(m_preview.CurrentFile());
        if (m_store.AbsolutePosition() == -1)
            return;
        m_store.Delete();
    } catch (const AppError& error) {
        reportFailure(kDeleted, error);
        return;
    }
    m_preview.SetToolTipText(QString());
}
