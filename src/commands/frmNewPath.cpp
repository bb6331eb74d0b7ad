#include "frmNewPath.h"
#include "AppError.h"
#include "ControlAdapter.h"
#include "FormControls.h"
#include "FolderList.h"
#include "ResourcePixmap.h"
#include "Units.h"

#include <QFontMetricsF>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

frmNewPath::frmNewPath(const IFileSystem& fs, const QString& startFolder)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_startFolder(startFolder), m_scale(this, this, Units::Twips), m_controls(*this, m_scale)
{
    setObjectName(QStringLiteral("frmNewPath"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Move Images"));
    setWindowIcon(QIcon(ResourcePixmap(QStringLiteral(":/tessel.png"))));

    const double twipsPerPixel = Units::TwipsPerPixel(logicalDpiX());
    setFixedSize(qRound(DesignClientWidth / twipsPerPixel), qRound(DesignClientHeight / twipsPerPixel));

    Label1 = new QLabel(QStringLiteral("Select the Folder where Move the Selected Image:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    dirNewPath = new FolderList(fs, startFolder, this);
    dirNewPath->setObjectName(QStringLiteral("dirNewPath"));
    cmdOK = new QPushButton(QStringLiteral("Move"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdAbort = new QPushButton(QStringLiteral("Cancel"), this);
    cmdAbort->setObjectName(QStringLiteral("cmdAbort"));
    for (QPushButton* button : {cmdOK, cmdAbort}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    m_controls.Place({
        {Label1, 120, 120, 3600, 195},
        {dirNewPath, 120, 480, 3015, 3465},
        {cmdOK, 3240, 3120, 975, 375},
        {cmdAbort, 3240, 3600, 975, 375},
    });
    // The design box fits the caption in a small system font; with a larger one the
    // font shrinks a little rather than the caption losing its end.
    QFont font = Label1->font();
    while (QFontMetricsF(font).horizontalAdvance(Label1->text()) > Label1->width() && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    Label1->setFont(font);

    setTabOrder(dirNewPath, cmdOK);
    setTabOrder(cmdOK, cmdAbort);
    dirNewPath->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdAbort, &QPushButton::clicked, this, [this] { cmdAbort_Click(); });
    Form_Load();
}

frmNewPath::~frmNewPath() = default;

ControlAdapter& frmNewPath::Bounds(QWidget* control) const
{
    return m_controls.Bounds(control);
}

void frmNewPath::Form_Load()
{
    // A start folder that vanished leaves the list where its constructor could open it.
    TryStep([this] { dirNewPath->SetPath(m_startFolder); });
}

void frmNewPath::cmdOK_Click()
{
    QString sPath = dirNewPath->Path();
    Q_EMIT NewSelected(sPath);
    close();
}

void frmNewPath::cmdAbort_Click()
{
    close();
}
