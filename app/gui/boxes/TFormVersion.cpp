#include "TFormVersion.h"

#include "SAboutText.h"
#include "SUiText.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace {

// The program's icon at 32 x 32: the installed theme icon when there is one, else a drawn stand-in
// (a paint pot's splash in the program's colours) so the box never shows an empty square.
QPixmap ProgramPixmap()
{
    const QIcon themed = QIcon::fromTheme(QStringLiteral("huedrane"));
    if (!themed.isNull()) {
        const QPixmap pixmap = themed.pixmap(32, 32);
        if (!pixmap.isNull())
            return pixmap;
    }
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 2));
    painter.setBrush(QColor(255, 192, 128));
    painter.drawEllipse(QRectF(3, 3, 26, 26));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(80, 140, 220));
    painter.drawEllipse(QRectF(9, 9, 10, 10));
    painter.setBrush(QColor(220, 70, 90));
    painter.drawEllipse(QRectF(16, 15, 8, 8));
    return pixmap;
}

}  // namespace

TFormVersion::TFormVersion(QWidget* owner)
    : QDialog(owner)
{
    setObjectName("FormVersion");
    setWindowTitle(UiText("バージョン情報"));

    PanelFrame = new QFrame(this);
    PanelFrame->setObjectName("PanelFrame");
    PanelFrame->setFrameShape(QFrame::StyledPanel);
    PanelFrame->setFrameShadow(QFrame::Sunken);

    ProgramIcon = new QLabel(PanelFrame);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setFixedSize(32, 32);
    ProgramIcon->setPixmap(ProgramPixmap());

    ProductName = new QLabel(QString::fromUtf8(about_text::Title()), PanelFrame);
    ProductName->setObjectName("ProductName");
    QFont titleFont = ProductName->font();
    titleFont.setPixelSize(24);
    ProductName->setFont(titleFont);

    Copyright = new QLabel(QString::fromUtf8(about_text::Maker()), PanelFrame);
    Copyright->setObjectName("Copyright");

    MemoNotice = new QPlainTextEdit(PanelFrame);
    MemoNotice->setObjectName("MemoNotice");
    MemoNotice->setReadOnly(true);
    MemoNotice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoNotice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoNotice->setPlainText(QString::fromStdString(about_text::Notices(about_text::LinkedVersions(qVersion()))));

    auto* heading = new QVBoxLayout;
    heading->addWidget(ProductName);
    heading->addWidget(Copyright);
    auto* top = new QHBoxLayout;
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto* frameLayout = new QVBoxLayout(PanelFrame);
    frameLayout->addLayout(top);
    frameLayout->addWidget(MemoNotice, 1);

    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName("ButtonOk");
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonOk);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PanelFrame, 1);
    layout->addLayout(buttons);
    resize(480, 400);
}
