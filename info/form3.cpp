// SPDX-License-Identifier: GPL-3.0-or-later
#include "form3.h"

#include "info/links.h"
#include "widgets/keyboard_link.h"
#include "widgets/window_design.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace vortigo {

namespace {

QLabel* makeLink(QWidget* parent, const QString& text, const QRect& where, const QString& toolTip,
                 const QCursor& cursor)
{
    auto* link = new QLabel(parent);
    link->setTextFormat(Qt::PlainText);
    link->setText(text);
    link->setGeometry(where);
    link->setToolTip(toolTip);
    link->setFont(tahoma(8.25, false, true));
    link->setAlignment(Qt::AlignCenter);
    QPalette p = link->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(p);
    link->setAutoFillBackground(false);
    link->setCursor(cursor);
    return link;
}

}  // namespace

Form3::Form3(Platform& platform, const QCursor& linkCursor, QWidget* parent, std::filesystem::path dataFolder)
    : QDialog(parent), m_platform(platform), m_linkCursor(linkCursor), m_dataFolder(std::move(dataFolder))
{
    buildControls();
    Form_Load();
}

void Form3::buildControls()
{
    setWindowTitle(QStringLiteral("Vortigo - About"));
    setFixedSize(tw(5910), tw(3930));
    setFont(tahoma(8.25, true));
    setMouseTracking(true);
    // The window wears the menu's colours, its text the window text colour.
    QPalette p = palette();
    p.setColor(QPalette::Window, QApplication::palette("QMenu").color(QPalette::Window));
    p.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    setPalette(p);
    setAutoFillBackground(true);

    const QPixmap icon(QStringLiteral(":/images/vortigo-icon.png"));
    Picture1 = makePicture(this, QStringLiteral(":/images/vortigo-icon.png"), twipRect(420, 150, 465, 465),
                           QStringLiteral("Vortigo 2000"));
    Picture1->setAccessibleName(QStringLiteral("Vortigo"));
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));

    Label5 = new QLabel(QStringLiteral("Informazioni"), this);
    Label5->setGeometry(twipRect(930, 150, 4545, 465));
    Label5->setFont(tahoma(15.75, true));
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setFrameShape(QFrame::Box);
    Label5->setFrameShadow(QFrame::Plain);
    Label5->setLineWidth(1);
    QPalette yellow = Label5->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 128));
    Label5->setPalette(yellow);
    Label5->setAutoFillBackground(true);

    Command3d1 = new QPushButton(QStringLiteral("&OK"), this);
    Command3d1->setGeometry(twipRect(3000, 690, 2475, 915));
    const QPixmap okIcon(QStringLiteral(":/images/ok-icon.png"));
    if (!okIcon.isNull())
        Command3d1->setIcon(QIcon(okIcon));
    Command3d1->setDefault(true);
    connect(Command3d1, &QPushButton::clicked, this, [this] { Command3d1_Click(); });

    Picture2 = makePicture(this, QStringLiteral(":/images/italian-software.png"), twipRect(3000, 1800, 930, 735),
                           QStringLiteral("Software Italiano"));
    Picture2->setAccessibleName(QStringLiteral("Software Italiano"));

    Label3 = makeLink(this, QString::fromLatin1(kHomePageCaption), twipRect(450, 2700, 1935, 255),
                      QStringLiteral("Per visitare l'home page dell'autore"), m_linkCursor);
    Label4 = makeLink(this, QStringLiteral("E-Mail: ") + QString::fromLatin1(kAuthorMailAddress),
                      twipRect(3540, 2700, 1935, 255), QStringLiteral("Scrivi all'autore"), m_linkCursor);

    // The mail address is wider than its design box; the label grows to the
    // left, keeping its right edge, as far as the home page label allows, so
    // the address is read whole.
    const int needed = QFontMetrics(Label4->font()).horizontalAdvance(Label4->text()) + 4;
    if (needed > Label4->width()) {
        const QRect box = Label4->geometry();
        const int left = std::max(Label3->geometry().right() + 4, box.right() + 1 - needed);
        Label4->setGeometry(left, box.top(), box.right() + 1 - left, box.height());
    }

    // Under the two links, across the window: the licence and where the word
    // lists and fonts come from.
    creditsLink = makeLink(this, QStringLiteral("Licenza GPL e crediti"), twipRect(450, 3090, 5025, 255),
                           QStringLiteral("Licenza del gioco e provenienza di dizionari e caratteri"), m_linkCursor);

    for (QLabel* link : {Label3, Label4, creditsLink}) {
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }
    makeKeyboardLink(Label3, [this] { Label3_Click(); });
    makeKeyboardLink(Label4, [this] { Label4_Click(); });
    makeKeyboardLink(creditsLink, [this] { creditsLink_Click(); });

    nameControls({{Picture1, "Picture1"}, {Label5, "Label5"}, {Command3d1, "Command3d1"}, {Picture2, "Picture2"},
                  {Label3, "Label3"}, {Label4, "Label4"}, {creditsLink, "creditsLink"}});
}

void Form3::Form_Load()
{
    centreOnScreen(this);
}

void Form3::Command3d1_Click()
{
    accept();
}

// The home page label opens the home page, as the menu entry does: a link
// that looks clickable and does nothing would only puzzle the player.
void Form3::Label3_Click()
{
    openHomePage(m_platform);
}

void Form3::Label4_Click()
{
    openAuthorMail(m_platform);
}

void Form3::creditsLink_Click()
{
    std::error_code ec;
    openCredits(m_platform, m_dataFolder.empty() ? std::filesystem::current_path(ec) : m_dataFolder);
}

void Form3::Form_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Arrow);
}

void Form3::Label3_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Hand);
}

void Form3::Label4_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Hand);
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Label3 && watched != Label4 && watched != creditsLink)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::MouseMove) {
        if (watched == Label4)
            Label4_MouseMove();
        else
            Label3_MouseMove();  // the same hand over every link
        return true;  // handled here; not passed on to the window's own handler
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (label == Label3)
                Label3_Click();
            else if (label == Label4)
                Label4_Click();
            else
                creditsLink_Click();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

void showAbout(Platform& platform, const QCursor& linkCursor, const std::filesystem::path& dataFolder)
{
    Form3 window(platform, linkCursor, nullptr, dataFolder);
    window.exec();
}

}  // namespace vortigo
