// SPDX-License-Identifier: GPL-3.0-or-later
#include "form4.h"

#include "core/text_codec.h"
#include "scores/record_address.h"
#include "widgets/keyboard_link.h"
#include "widgets/text_fit.h"
#include "widgets/window_design.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

namespace vortigo {

namespace {

void setEnabledTextColour(QWidget* w, const QColor& text)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, text);
    p.setColor(QPalette::Inactive, QPalette::WindowText, text);
    w->setPalette(p);
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& where, const QFont& font,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setGeometry(where);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setWordWrap(true);
    return label;
}

void boxed(QLabel* label)
{
    label->setFrameShape(QFrame::Box);
    label->setFrameShadow(QFrame::Plain);
    label->setLineWidth(1);
}

}  // namespace

Form4::Form4(HighScoreContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)), m_mainWindow(m_context.mainWindow)
{
    buildControls();
    Form_Load();
}

Form4::~Form4()
{
    enableMainWindow();
}

void Form4::buildControls()
{
    setWindowTitle(QStringLiteral("Vortigo - Hiscores Table"));
    setFixedSize(tw(7530), tw(6765));
    setFont(tahoma(8.25, false));
    setMouseTracking(true);

    const QColor lightYellow(255, 255, 128);
    const QColor lightCyan(192, 255, 255);
    const Qt::Alignment centred = Qt::AlignCenter;

    Label2 = makeLabel(this, QStringLiteral("Tabella records"), twipRect(870, 180, 6195, 465), tahoma(15.75, true), centred);
    boxed(Label2);
    setColours(Label2, palette().color(QPalette::WindowText), lightYellow);

    Picture2 = makePicture(this, QStringLiteral(":/images/trophy.png"), twipRect(330, 180, 465, 465));
    Picture2->setAccessibleName(QStringLiteral("Coppa"));

    Label1 = makeLabel(this, QStringLiteral("Brivo The Best"), twipRect(360, 720, 3555, 375), tahoma(14.25, true), centred);
    boxed(Label1);
    setColours(Label1, palette().color(QPalette::WindowText), lightCyan);

    Panel3d1 = makeLabel(this, QStringLiteral("The best"), twipRect(360, 1140, 3555, 375), tahoma(14.25, true), centred);
    boxed(Panel3d1);
    setColours(Panel3d1, QColor(192, 192, 0), Qt::black);

    Command3d1 = new QPushButton(QStringLiteral("&OK"), this);
    Command3d1->setGeometry(twipRect(4020, 720, 3075, 1035));
    const QPixmap okIcon(QStringLiteral(":/images/ok-icon.png"));
    if (!okIcon.isNull())
        Command3d1->setIcon(QIcon(okIcon));
    Command3d1->setDefault(true);
    connect(Command3d1, &QPushButton::clicked, this, [this] { Command3d1_Click(); });

    Frame1 = new QGroupBox(QStringLiteral("Migliori punteggi"), this);
    Frame1->setGeometry(twipRect(390, 1530, 3495, 3315));
    Frame1->setFont(tahoma(9.75, false));

    List1 = new QListWidget(Frame1);
    List1->setGeometry(twipRect(150, 240, 3255, 2940));
    List1->setFont(fixedPitchFont(9.75, true));
    List1->setAccessibleName(QStringLiteral("Migliori punteggi"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette listPalette = List1->palette();
    listPalette.setColor(QPalette::Base, lightCyan);
    List1->setPalette(listPalette);

    Picture1 = makePicture(this, QStringLiteral(":/images/scores-picture.png"), twipRect(4020, 1800, 3060, 3060));
    Picture1->setAccessibleName(QStringLiteral("Vortigo"));

    // A one-pixel rule from (420, 4980) to (7080, 4980).
    Line1 = new QFrame(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    Line1->setGeometry(tw(420), tw(4980), tw(7080) - tw(420) + 1, 1);

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
    Label4 = makeLabel(this, QStringLiteral("Mia E-Mail:"), twipRect(480, 5130, 795, 315), tahoma(8.25, false), right);
    Label4->setEnabled(false);

    Text2 = new QLineEdit(QStringLiteral("nome@provider"), this);
    Text2->setGeometry(twipRect(1260, 5070, 5805, 285));
    Text2->setMaxLength(40);
    Text2->setEnabled(false);

    Label3 = makeLabel(this, QStringLiteral("Note sul punteggio:"), twipRect(480, 5550, 795, 405), tahoma(8.25, false), right);
    Label3->setEnabled(false);

    Text1 = new QLineEdit(QStringLiteral("Sono il migliore"), this);
    Text1->setGeometry(twipRect(1320, 5640, 2505, 285));
    Text1->setMaxLength(20);
    Text1->setEnabled(false);
    // The captions name their boxes, for a screen reader too.
    Label4->setBuddy(Text2);
    Label3->setBuddy(Text1);

    Label5 = makeLabel(this,
                       QStringLiteral("Se hai fatto il record massimo puoi cliccare il link a sinistra, verrà aperta "
                                      "una finestra del browser che ti consentirà di pubblicare nella Rete il tuo "
                                      "risultato (Compila anche il campo E-Mail)."),
                       twipRect(3930, 5460, 3195, 1005), tahoma(8.25, false));

    Label6 = makeLabel(this, QStringLiteral("Registra record in Internet"), twipRect(510, 6120, 3315, 435),
                       tahoma(12, true, true), centred);
    Label6->setToolTip(QStringLiteral("Clicca per registrare questo punteggio nella tabella mondiale su Internet"));
    setEnabledTextColour(Label6, QColor(0, 0, 192));
    Label6->setEnabled(false);
    makeKeyboardLink(Label6, [this] { Label6_Click(); });

    nameControls({{Label2, "Label2"}, {Picture2, "Picture2"}, {Label1, "Label1"}, {Panel3d1, "Panel3d1"},
                  {Command3d1, "Command3d1"}, {Frame1, "Frame1"}, {List1, "List1"}, {Picture1, "Picture1"},
                  {Line1, "Line1"}, {Label4, "Label4"}, {Text2, "Text2"}, {Label3, "Label3"}, {Text1, "Text1"},
                  {Label5, "Label5"}, {Label6, "Label6"}});

    // Every caption gets the room its text needs in the fonts we draw with;
    // right-aligned ones grow to the left.
    std::vector<FitControl> controls;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w == Line1)
            continue;
        if (const auto* label = qobject_cast<QLabel*>(w))
            controls.push_back({w, labelNeeds(label), (label->alignment() & Qt::AlignRight) != 0});
        else
            controls.push_back({w, w->size()});
    }
    fitControls(controls);

    // Moves over these controls reach their pointer handlers; so do moves over
    // the window itself. Other controls leave the pointer as it was.
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label5), static_cast<QWidget*>(Text1),
                       static_cast<QWidget*>(Label6)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void Form4::Form_Load()
{
    centreOnScreen(this);
    if (m_mainWindow) {
        m_mainWindow->setEnabled(false);
        m_mainWindowDisabled = true;
    }
    BuildScoreTable();
}

void Form4::BuildScoreTable()
{
    const GameState& state = m_context.state;
    ScoreTableRequest request;
    request.folder = m_context.folder;
    request.readFolder = m_context.readFolder;
    request.playerName = utf8ToLatin1(m_context.playerName.toStdString());
    request.Score = state.Score;
    request.recordNewScore = state.RecordNewScore != kFalse;
    request.separator = m_context.platform.groupSeparator();

    const ScoreTableView view = buildScoreTable(request, m_table);

    List1->clear();
    for (const std::string& row : view.listRows)
        List1->addItem(QString::fromStdString(row));
    Label1->setText(QString::fromStdString(view.bestName));
    PlayerRow = view.PlayerRow;
    if (view.publishingEnabled) {
        for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Label3),
                           static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label6)})
            w->setEnabled(true);
        Label6->setCursor(m_context.linkCursor);
    }
    List1->setCurrentRow(1);

    if (!view.write.ok())
        m_context.platform.messageBox(scoreWriteFailedMessage(view.write, !m_context.programEnding), Buttons::Ok);
}

void Form4::Command3d1_Click()
{
    accept();
}

void Form4::Label6_Click()
{
    if (!Label6->isEnabled())
        return;
    RecordEntry entry;
    entry.playerName = m_context.playerName.toStdString();
    entry.note = Text1->text().toStdString();
    entry.email = Text2->text().toStdString();
    openRecordAddress(m_context.state, entry, m_context.platform, m_random);
}

void Form4::Form_MouseMove()
{
    m_context.platform.setScreenPointer(Pointer::Arrow);
}

void Form4::Label3_MouseMove()
{
    m_context.platform.setScreenPointer(Pointer::Arrow);
}

void Form4::Label5_MouseMove()
{
    m_context.platform.setScreenPointer(Pointer::Arrow);
}

void Form4::Text1_MouseMove()
{
    m_context.platform.setScreenPointer(Pointer::Arrow);
}

void Form4::Label6_MouseMove()
{
    m_context.platform.setScreenPointer(Pointer::Hand);
}

void Form4::done(int result)
{
    enableMainWindow();
    QDialog::done(result);
}

bool Form4::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::MouseMove) {
        // A disabled control passes its moves to the window, as it always has.
        if (!widget->isEnabled())
            Form_MouseMove();
        else if (widget == Label3)
            Label3_MouseMove();
        else if (widget == Label5)
            Label5_MouseMove();
        else if (widget == Label6)
            Label6_MouseMove();
        else if (widget == Text1) {
            Text1_MouseMove();
            return false;  // the box still selects text while dragging
        }
        return true;  // handled here; not passed on to the window's own handler
    }
    if (widget == Label6 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label6->rect().contains(mouse->position().toPoint()))
            Label6_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Form4::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

void Form4::enableMainWindow()
{
    if (m_mainWindowDisabled && m_mainWindow)
        m_mainWindow->setEnabled(true);
    m_mainWindowDisabled = false;
}

void showHighScores(const HighScoreContext& context)
{
    Form4 window(context);
    window.exec();
}

}  // namespace vortigo
