#include "widgets/AboutBox.h"

#include "widgets/BevLabel.h"
#include "widgets/VersionInfo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr QSize FormSize(312, 207);
constexpr int PanelBorder = 10;
constexpr int IconSide = 32;
constexpr int CommentsHeight = 60;
constexpr int CommentsTextBorder = 4;
constexpr int ScreenEdge = 2;
const QColor Navy(0x00, 0x00, 0x80);

QPushButton* LinkButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setFlat(true);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Navy);
    button->setPalette(palette);
    return button;
}

}  // namespace

const TVersionRecord& ProgramVersionRecord() {
    static const TVersionRecord record{
        QStringLiteral("Velmora Project"),
        QStringLiteral("Velmora 日記帳"),
        QStringLiteral(VELMORA_FILE_VERSION),
        QStringLiteral("Velmora"),
        QStringLiteral("Copyright © 2026 Velmora Project"),
        QString(),
        QStringLiteral("Velmora"),
        QStringLiteral("Velmora"),
        QStringLiteral(VELMORA_PRODUCT_VERSION),
        QStringLiteral("日記・備忘録・記念日をひとつの窓で。\\n"
                       "毎日のバックアップはプログラムの隣の backup フォルダに。"),
    };
    return record;
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(FormSize);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(IconSide, IconSide);
    ProductName = new QLabel(panel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setWordWrap(true);
    Version = new QLabel(panel);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignCenter);
    QFont bold = Version->font();
    bold.setBold(true);
    Version->setFont(bold);
    Copyright = new QLabel(panel);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(QStringLiteral("All Rights Reserved."), panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Comments = new TBevelLabel(panel);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->SetBevelOuter(bvLowered);
    Comments->SetBevelInner(bvNone);
    Comments->SetTextBorder(CommentsTextBorder);
    Comments->SetWordWrap(true);
    Comments->setFixedHeight(CommentsHeight);

    auto* top = new QHBoxLayout;
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addWidget(ProductName, 1);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(PanelBorder, PanelBorder, PanelBorder, PanelBorder);
    panelLayout->setSpacing(2);
    panelLayout->addLayout(top);
    panelLayout->addWidget(Version);
    panelLayout->addStretch(1);
    panelLayout->addWidget(Copyright);
    panelLayout->addWidget(Label1);
    panelLayout->addWidget(Comments);

    OpenWeb = LinkButton(QStringLiteral("作者HPを開く"), this);
    OpenWeb->setObjectName(QStringLiteral("OpenWeb"));
    MailTo = LinkButton(QStringLiteral("ﾒｰﾙ送信"), this);
    MailTo->setObjectName(QStringLiteral("MailTo"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OpenWeb);
    buttons->addWidget(MailTo);
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);
}

QPoint AboutFormPosition(TScreenPosition position, const QRect& screen, const QRect& mainWindow,
                         QSize form) {
    const int sw = screen.width(), sh = screen.height(), w = form.width(), h = form.height();
    switch (position) {
        case spFormCenter:
            return {mainWindow.left() + (mainWindow.width() - w) / 2,
                    mainWindow.top() + (mainWindow.height() - h) / 2};
        case spTopLeft:
            return {0, 0};
        case spTopRight:
            return {sw - w - ScreenEdge, 0};
        case spBottomLeft:
            return {0, sh - h - ScreenEdge};
        case spBottomRight:
            return {sw - w - ScreenEdge, sh - h - ScreenEdge};
        case spDefault:
        case spScreenCenter:
            break;
    }
    return {(sw - w) / 2, (sh - h) / 2};
}

TAboutDialog::TAboutDialog()
    : Caption(QApplication::applicationDisplayName()),
      Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    ReadVersionInfo(ProgramVersionRecord());
}

void TAboutDialog::ReadVersionInfo(const TVersionRecord& record) {
    const std::pair<QString*, const QString*> pairs[] = {
        {&CompanyName, &record.CompanyName},           {&FileDescription, &record.FileDescription},
        {&FileVersion, &record.FileVersion},           {&InternalName, &record.InternalName},
        {&Copyright, &record.LegalCopyright},          {&TradeMarks, &record.LegalTradeMarks},
        {&OriginalFilename, &record.OriginalFilename}, {&ProductName, &record.ProductName},
        {&ProductVersion, &record.ProductVersion},     {&Comments, &record.Comments},
    };
    for (const auto& [field, value] : pairs) {
        if (field->isEmpty()) {
            *field = *value;
        }
    }
    Comments.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
}

QString TAboutDialog::ShortVersion() const {
    const qsizetype dot = FileVersion.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? FileVersion : FileVersion.left(dot);
}

QString TAboutDialog::VersionText() const {
    QString text = ProductName + QStringLiteral("\nVersion. ") + FileVersion + QStringLiteral(")");
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    text.replace(dot, 1, QStringLiteral(" (Build "));
    return text;
}

std::unique_ptr<TAboutForm> TAboutDialog::CreateForm(QWidget* mainWindow) const {
    auto form = std::make_unique<TAboutForm>(mainWindow);
    form->MailTo->setVisible(!MailAddr.isEmpty());
    form->OpenWeb->setVisible(!HomePage.isEmpty());
    form->MailTo->setToolTip(MailAddr);
    form->OpenWeb->setToolTip(HomePage);
    if (!ButtonCaption.isEmpty()) {
        form->OpenWeb->setText(ButtonCaption);
    }
    QObject::connect(form->MailTo, &QPushButton::clicked, [this] { MailToClick(); });
    QObject::connect(form->OpenWeb, &QPushButton::clicked, [this] { OpenWebClick(); });
    form->ProductName->setText(FileDescription);
    form->Version->setText(VersionText());
    form->Copyright->setText(Copyright);
    // The label breaks lines at line feeds; the stored text keeps CR LF.
    form->Comments->SetCaption(
        QString(Comments).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    form->setWindowTitle(Caption + QStringLiteral(" の情報"));
    const QIcon icon = QApplication::windowIcon();
    form->ProgramIcon->setPixmap(icon.pixmap(IconSide, IconSide));
    form->ProgramIcon->setVisible(!icon.isNull());

    const QScreen* screen = QApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect();
    const QRect mainRect = mainWindow ? mainWindow->frameGeometry() : screenRect;
    form->move(AboutFormPosition(Position, screenRect, mainRect, form->size()));
    return form;
}

void TAboutDialog::Execute(QWidget* mainWindow) const {
    CreateForm(mainWindow)->exec();
}

void TAboutDialog::MailToClick() const {
    if (Opener) {
        Opener(QUrl(QStringLiteral("mailto:") + MailAddr));
    }
}

void TAboutDialog::OpenWebClick() const {
    if (Opener) {
        Opener(QUrl(HomePage));
    }
}
