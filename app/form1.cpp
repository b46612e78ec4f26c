// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "app/dictionary_file.h"
#include "app/grid_accessibility.h"
#include "app/grid_area.h"
#include "app/hand_cursor.h"
#include "app/settings_file.h"
#include "core/palette.h"
#include "core/round_drawing.h"
#include "core/text_codec.h"
#include "info/form3.h"
#include "info/links.h"
#include "scores/form4.h"
#include "widgets/accessible_role.h"
#include "widgets/focus_return.h"
#include "widgets/game_fonts.h"
#include "widgets/held_keys.h"
#include "widgets/keyboard_link.h"
#include "widgets/text_fit.h"
#include "widgets/window_design.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <cmath>
#include <system_error>

// The pictures are compiled into this static library; a static library's
// resources must be registered by hand, from the global namespace.
static void registerPictures()
{
    static const bool once = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    (void)once;
}

namespace vortigo {

namespace {

const QColor kStripYellow(255, 255, 128);
constexpr int kNameLength = 10;  // characters the player may type into Text1
const QColor kCaptionPeach(255, 224, 192);

// The name goes into vortigo.INI and vortigo.HIS one byte a character
// (Latin-1) and into the record address as typed: the box takes only what
// the files can hold, so the box, both files and the address always carry
// the same name. Other characters, typed or pasted, are left out.
class Latin1Only : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            if (input[i].unicode() > 0xFF) {
                input.remove(i, 1);
                if (position > i)
                    --position;
            }
        }
        return Acceptable;
    }
};

// The client area holds the grid, which fills it, and beside the grid (not
// inside it) the strip, the word list, the title picture and the announcer:
// a screen reader then finds each of them as what it is, while the grid's
// own children are only its cells.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;
    QWidget* grid = nullptr;

protected:
    void resizeEvent(QResizeEvent*) override
    {
        if (grid != nullptr)
            grid->setGeometry(rect());
    }
};

}  // namespace

// ---------------------------------------------------------------- building

Form1::Form1(Platform& platform, std::filesystem::path programFolder, QWidget* parent)
    : Form1(platform, GameFolders{programFolder, programFolder, programFolder, programFolder}, parent)
{
}

Form1::Form1(Platform& platform, GameFolders folders, QWidget* parent)
    : QMainWindow(parent),
      m_platform(platform),
      m_folder(std::move(folders.data)),
      m_settingsFolder(std::move(folders.settings)),
      m_scoresFolder(std::move(folders.scores)),
      m_dictionaries(platform, m_folder),
      m_game(platform, m_dictionaries, *this, *this)
{
    registerGameFonts();
    registerPictures();
    setWindowTitle(QStringLiteral("Vortigo"));
    setWindowIcon(QIcon(QStringLiteral(":/images/vortigo-icon.png")));
    setFont(tahoma(8.25, true));

    auto* area = new ClientArea(this);
    area->setObjectName(QStringLiteral("clientArea"));
    m_client = new GridArea(m_surface, m_game, area);
    m_client->setObjectName(QStringLiteral("grid"));
    area->grid = m_client;
    m_area = area;
    setCentralWidget(area);
    m_client->onPress = [this](Button button, Modifiers modifiers, double x, double y) {
        dispatch([=, this] { Form_MouseDown(button, modifiers, x, y); });
    };
    m_client->onSelect = [this](Cell cell) { dispatch([=, this] { Grid_KeyPress(cell); }); };
    m_client->onMove = [this] { Form_MouseMove(); };
    m_client->onRatioChange = [this] { drawRound(m_surface, m_game); };
    m_client->onFocusMove = [this] { gridFocusMoved(m_client); };
    installGridAccessibility();
    m_client->onResize = [this] {
        Picture2->setFixedWidth(m_client->width());
        if (!Frame3d1->isHidden())
            dockWordFrame();
        if (m_game.state().Round == 0 && m_game.state().RoundStatus == kRoundWon)
            placeTitlePicture();
    };
    m_surface.setBackColour(kWhite);
    m_surface.clear();

    buildControls();
    buildMenus();
    showStatus();
    m_client->setFocusPolicy(Qt::ClickFocus);  // the title screen: no grid yet
    makeHeldKeysOnePress();
    // The window opens with the new-game button focused, not the chooser,
    // where a first arrow key would change the dictionary.
    Command3d1->setFocus(Qt::OtherFocusReason);
    // Client area of the design: 10200 x 9300 twips.
    resize(tw(10200), tw(9300) + menuBar()->sizeHint().height());
}

Form1::~Form1()
{
    // Destroying the controls moves the focus; nothing of the game must run then.
    disconnect(m_focusWatch);
}

void Form1::focusMoved(QWidget* now)
{
    // The player is in the name box from the moment it has the focus until
    // the focus lands on another place of this window (a click on the grid,
    // the title picture, the button or the chooser; the Tab key): that is the
    // box losing the focus, once. A menu, a message box, the other windows of
    // the game or of other programs take the focus only for a while and hand
    // it back to the box, so they do not count.
    if (now == Text1) {
        m_inNameBox = true;
        return;
    }
    if (!m_inNameBox || m_game.ended() || now == nullptr || now->window() != this
        || qobject_cast<QMenuBar*>(now) != nullptr)
        return;
    m_inNameBox = false;
    Text1_LostFocus();
}

QWidget* Form1::clientArea() const
{
    return m_client;
}

const QImage& Form1::titlePicture() const
{
    return Picture1->picture();
}

void Form1::buildControls()
{
    m_hand = handCursor(handPicture());
    Picture3 = new QLabel(m_area);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setPixmap(handPicture());
    Picture3->setAccessibleName(QStringLiteral("Puntatore a mano"));
    Picture3->hide();

    Picture2 = new QWidget(m_area);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(twipRect(0, 0, 10200, 735));
    setColours(Picture2, Qt::black, kStripYellow);
    Picture2->setMouseTracking(true);

    Frame3d1 = new QGroupBox(QStringLiteral("Parole da trovare"), m_area);
    Frame3d1->setObjectName(QStringLiteral("Frame3d1"));
    Frame3d1->setGeometry(twipRect(7530, 750, 1665, 6315));
    Frame3d1->setFont(tahoma(8.25, true));
    setColours(Frame3d1, Qt::black, Qt::white);
    // A list of the words shown, each saying whether it is found.
    Frame3d1->setAccessibleName(QStringLiteral("Parole da trovare"));
    setAccessibleRole(Frame3d1, QAccessible::List);
    for (int i = 0; i < 20; ++i) {
        QLabel* l = new QLabel(QStringLiteral("Label1"), Frame3d1);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        l->setGeometry(tw(90), tw(210 + 256 * i), tw(1455), tw(285));
        l->setToolTip(QStringLiteral("Lista delle parole da trovare"));
        l->setAlignment(Qt::AlignCenter);
        setColours(l, paletteColour(kBlue), paletteColour(kWhite));
        setAccessibleRole(l, QAccessible::ListItem);
        l->hide();  // shown by the first round
        Label1[static_cast<std::size_t>(i)] = l;
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { timerTicked(); });

    Picture1 = new TitlePicture(m_area);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipRect(405, 750, 9600, 4500));
    Picture1->setToolTip(QStringLiteral("Clicca per nuova partita ..."));
    Picture1->setAccessibleName(QStringLiteral("Vortigo: clicca per nuova partita"));
    setAccessibleRole(Picture1, QAccessible::Button, [this] { dispatch([this] { Picture1_Click(); }); });
    Picture1->setAlignment(Qt::AlignCenter);
    setColours(Picture1, Qt::black, Qt::white);

    auto caption = [this](const char* name, const QString& text, QRect where) {
        QLabel* l = new QLabel(text, Picture2);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(where);
        l->setFont(tahoma(8.25, false));
        setColours(l, Qt::black, kCaptionPeach);
        return l;
    };
    auto value = [this](const char* name, const QString& text, QRect where, const QColor& back, const char* tip) {
        QLabel* l = new QLabel(text, Picture2);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(where);
        l->setFont(tahoma(9, true));
        l->setToolTip(QString::fromUtf8(tip));
        setColours(l, Qt::black, back);
        // A value the game reports, read with its caption (showStatus).
        setAccessibleRole(l, QAccessible::StatusBar);
        return l;
    };

    Combo1 = new QComboBox(Picture2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twipRect(5160, 330, 975, 315));
    Combo1->setToolTip(QStringLiteral("Cambia il dizionario Ita/Eng/LATINO"));
    connect(Combo1, &QComboBox::activated, this, [this](int) { dispatch([this] { Combo1_Click(); }); });
    // Only an entry picked from the open list is a choice: the closed chooser
    // ignores the wheel (a scroll over the strip would end the game in play)
    // and the wheel does not give it the focus either.
    Combo1->setFocusPolicy(Qt::StrongFocus);
    Combo1->installEventFilter(this);

    Text1 = new QLineEdit(QStringLiteral("Brivo"), Picture2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipRect(6150, 330, 1455, 300));
    Text1->setMaxLength(kNameLength);
    Text1->setToolTip(QStringLiteral("Immetti il tuo nome"));
    Text1->setValidator(new Latin1Only(Text1));
    // The box takes at most 10 typed characters; a longer name read from the
    // settings file stays whole, and typing cannot make it longer.
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& text) {
        Text1->setMaxLength(std::max(kNameLength, static_cast<int>(text.size())));
        m_game.setPlayerName(utf8ToLatin1(text.toStdString()));
    });

    Command3d1 = new QPushButton(Picture2);
    Command3d1->setObjectName(QStringLiteral("Command3d1"));
    Command3d1->setGeometry(twipRect(60, 30, 645, 585));
    Command3d1->setIcon(QIcon(QStringLiteral(":/images/new-game.png")));
    Command3d1->setIconSize(QSize(tw(645) - 8, tw(585) - 8));
    Command3d1->setToolTip(QStringLiteral("Nuova partita ..."));
    Command3d1->setAccessibleName(QStringLiteral("Nuova partita"));
    // Space (or Enter, as on a dialog's button) starts a game when it has the focus.
    Command3d1->setAutoDefault(true);
    connect(Command3d1, &QPushButton::clicked, this, [this] { dispatch([this] { Command3d1_Click(); }); });

    Label11 = caption("Label11", QStringLiteral("Dizionario:"), twipRect(5220, 150, 870, 240));
    Label9 = caption("Label9", QStringLiteral("Manche:"), twipRect(4560, 150, 600, 195));
    Label4 = caption("Label4", QStringLiteral("Tempo:"), twipRect(720, 120, 525, 210));
    Label6 = caption("Label6", QStringLiteral("Errori ammessi:"), twipRect(3420, 150, 1095, 165));
    Label5 = caption("Label5", QStringLiteral("Punti:"), twipRect(2730, 150, 465, 165));
    Label10 = caption("Label10", QStringLiteral("Giocatore:"), twipRect(6180, 150, 870, 240));
    // The captions name the boxes under them, for a screen reader too.
    Label10->setBuddy(Text1);
    Label11->setBuddy(Combo1);
    Label8 = value("Label8", QStringLiteral("0"), twipRect(4500, 330, 645, 300), QColor(128, 255, 255), "Manche in corso");
    Label7 = value("Label7", QStringLiteral("0"), twipRect(3420, 330, 1065, 300), QColor(255, 255, 0), "Errori ammissibili");
    Label2 = value("Label2", QString(), twipRect(720, 330, 1680, 300), QColor(192, 192, 255), "Tempo rimasto");
    Label3 = value("Label3", QStringLiteral("0"), twipRect(2430, 330, 1005, 300), QColor(255, 255, 0), "Punti fatti");
    Label12 = new QLabel(QString::fromLatin1(kHomePageCaption), Picture2);
    Label12->setObjectName(QStringLiteral("Label12"));
    Label12->setGeometry(twipRect(1350, 120, 1035, 240));
    Label12->setFont(tahoma(8.25, true, true));
    Label12->setToolTip(QStringLiteral("Visita il sito dell'autore ..."));
    setColours(Label12, QColor(0, 0, 192), kCaptionPeach);
    // Label12 sits where the status labels appear once a game runs.
    for (QLabel* l : {Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9})
        l->hide();
    Label12->raise();
    makeKeyboardLink(Label12, [this] { dispatch([this] { Label12_Click(); }); });

    // News a screen reader speaks whatever has the focus (announce()).
    m_announcer = makeAnnouncer(m_area);

    // Tab goes round the name, the chooser, the new-game button, the grid and the home-page link.
    setTabOrder(Text1, Combo1);
    setTabOrder(Combo1, Command3d1);
    setTabOrder(Command3d1, m_client);
    setTabOrder(m_client, Label12);

    // Presses on controls are theirs; only the bare client area reaches Form_MouseDown.
    for (QWidget* w : {static_cast<QWidget*>(Picture1), Picture2, static_cast<QWidget*>(Frame3d1)})
        w->setAttribute(Qt::WA_NoMousePropagation);
    // A move over a control of the strip belongs to that control: one with a
    // pointer handler runs it, one without leaves the pointer alone. Passed on,
    // it would reach the strip's own handler and turn the pointer into the arrow.
    for (QWidget* w : Picture2->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        w->setAttribute(Qt::WA_NoMousePropagation);
    // A click anywhere on the window's surface or its controls takes the focus
    // there, out of the name box, so the name is saved (Text1_LostFocus). The
    // grid takes it on a click and on Tab alike (GridArea's own policy).
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusMoved(now); });
    for (QWidget* w : {static_cast<QWidget*>(Picture1), Picture2, static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label12)}) {
        w->installEventFilter(this);
        w->setMouseTracking(true);
    }
}

void Form1::buildMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& key,
                       std::function<void()> handler) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        connect(a, &QAction::triggered, this, [this, handler] { dispatch(handler); });
        return a;
    };
    // The marks show the game's level and sound switch: after the handler
    // (or a trigger the dispatcher dropped) they are shown again from the game.
    auto checkable = [this, item](QMenu* menu, const char* name, const QString& text, const QKeySequence& key,
                                  std::function<void()> handler) {
        QAction* a = item(menu, name, text, key, std::move(handler));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this] { showSettings(); });
        return a;
    };

    MenuFile = menuBar()->addMenu(QStringLiteral("&File"));
    MenuFile->setObjectName(QStringLiteral("MenuFile"));
    MenuNuovo = item(MenuFile, "MenuNuovo", QStringLiteral("&Nuova partita"), Qt::Key_F2, [this] { MenuNuovo_Click(); });
    MenuHi = item(MenuFile, "MenuHi", QStringLiteral("&Tabella records ..."), Qt::Key_F8, [this] { MenuHi_Click(); });
    MenuMeno = MenuFile->addSeparator();
    MenuMeno->setObjectName(QStringLiteral("MenuMeno"));
    menuEsci = item(MenuFile, "menuEsci", QStringLiteral("&Esci"), Qt::CTRL | Qt::Key_F5, [this] { menuEsci_Click(); });

    MenuOpzioni = menuBar()->addMenu(QStringLiteral("&Opzioni"));
    MenuOpzioni->setObjectName(QStringLiteral("MenuOpzioni"));
    MenuLivello = MenuOpzioni->addMenu(QString::fromUtf8("&Livello di difficoltà"));
    MenuLivello->setObjectName(QStringLiteral("MenuLivello"));
    const QString levels[4] = {QStringLiteral("&Allenamento"), QStringLiteral("&Pibo (Principiante) "),
                               QStringLiteral("&Medio"), QStringLiteral("&Esperto")};
    auto* oneLevel = new QActionGroup(MenuLivello);  // exactly one level carries the mark
    for (int i = 0; i < 4; ++i) {
        Menulev[static_cast<std::size_t>(i)] = checkable(MenuLivello, "Menulev", levels[i], {}, [this, i] { Menulev_Click(i); });
        Menulev[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Menulev_%1").arg(i));
        oneLevel->addAction(Menulev[static_cast<std::size_t>(i)]);
    }
    Menulev[1]->setChecked(true);
    MenuSuono = checkable(MenuOpzioni, "MenuSuono", QStringLiteral("&Suono"), Qt::CTRL | Qt::Key_S, [this] { MenuSuono_Click(); });
    MenuSuono->setChecked(true);

    MenuInfo = menuBar()->addMenu(QStringLiteral("&?"));
    MenuInfo->setObjectName(QStringLiteral("MenuInfo"));
    MenuAiuto = item(MenuInfo, "MenuAiuto", QStringLiteral("&Aiuto"), Qt::Key_F1, [this] { MenuAiuto_Click(); });
    MenuMail = item(MenuInfo, "MenuMail", QStringLiteral("&Manda una E-Mail all'autore..."), Qt::CTRL | Qt::Key_F9,
                    [this] { MenuMail_Click(); });
    menuPHP = item(MenuInfo, "menuPHP", QStringLiteral("&Visita Home Page autore ..."), Qt::CTRL | Qt::Key_F11,
                   [this] { menuPHP_Click(); });
    Meno2 = MenuInfo->addSeparator();
    Meno2->setObjectName(QStringLiteral("Meno2"));
    MenuInformazioni = item(MenuInfo, "MenuInformazioni", QStringLiteral("&Informazioni su Vortigo ..."), Qt::Key_F4,
                            [this] { MenuInformazioni_Click(); });
}

// ---------------------------------------------------------------- events

void Form1::dispatch(const std::function<void()>& handler)
{
    // A handler further up the stack means a modal box of ours is open (or a
    // round is being built): a click now would open a second box or land on
    // the wrong grid, so it is dropped.
    if (m_game.ended() || m_handlerDepth > 0)
        return;
    {
        ++m_handlerDepth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{m_handlerDepth};
        handler();
    }
    // The time ran out while that handler's box or window was open: the
    // question comes now that it has closed, once. A new round set up
    // meanwhile has its time again, and a paused clock asks nothing.
    if (!m_game.ended() && m_game.clockRunning() && m_game.secondsLeftNow() < 1)
        dispatch([this] { m_game.timeUp(); });
}

void Form1::timerTicked()
{
    if (m_handlerDepth == 0) {
        dispatch([this] { Timer1_Timer(); });
        return;
    }
    // A box or window of the game is open: the seconds go on counting, as
    // the clock never stops for them, but once the time is up nothing more
    // happens until it closes (dispatch then asks the question).
    if (!m_game.ended() && m_game.secondsLeftNow() >= 1)
        m_game.countSecond();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == Combo1)
        return type == QEvent::Wheel;
    if (type == QEvent::MouseMove) {
        if (watched == Picture1)
            Picture1_MouseMove();
        else if (watched == Picture2)
            Picture2_MouseMove();
        else if (watched == Label2)
            Label2_MouseMove();
        else if (watched == Label4)
            Label4_MouseMove();
        else if (watched == Label12)
            Label12_MouseMove();
        return false;
    }
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse == nullptr)
        return false;
    if (type == QEvent::MouseButtonPress) {
        const Button button = buttonOf(mouse->button());
        const Modifiers modifiers = modifiersOf(mouse->modifiers());
        if (watched == Label2)
            dispatch([=, this] { Label2_MouseDown(button, modifiers); });
        else if (watched == Label7)
            dispatch([=, this] { Label7_MouseDown(button, modifiers); });
        return watched == Label2 || watched == Label7;
    }
    if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        auto* w = static_cast<QWidget*>(watched);
        if (!w->rect().contains(mouse->position().toPoint()))
            return false;
        if (watched == Picture1)
            dispatch([this] { Picture1_Click(); });
        else if (watched == Label12)
            dispatch([this] { Label12_Click(); });
    }
    return false;
}

// ---------------------------------------------------------------- start-up

bool Form1::Form_Load()
{
    m_game.load();

    std::error_code ec;
    std::filesystem::current_path(m_folder, ec);

    const QImage title = readTitlePicture(m_folder / "vortigo.gif");
    if (title.isNull()) {
        Picture1->setText(QStringLiteral("Clicca qui per una nuova partita"));
        tell("Non riesco a caricare l'immagine del titolo \"vortigo.gif\" (il file manca o è danneggiato).\n"
             "Il gioco funziona lo stesso: clicca sul riquadro bianco o premi F2 per iniziare.");
    } else {
        Picture1->setPicture(title);
    }

    applySettingsFile();

    if (!m_game.openDictionary())
        return false;

    placeTitlePicture();

    if (Combo1->count() == 0) {
        Combo1->addItems({QStringLiteral("Italiano"), QStringLiteral("English"), QStringLiteral("Latino")});
        Combo1->setCurrentIndex(0);
        Combo1_Click();  // the selection equals the dictionary: nothing happens
    }
    fitStrip();
    return true;
}

void Form1::applySettingsFile()
{
    const std::optional<SettingsRead> file = readSettingsFile(folderToRead(m_settingsFolder, m_folder, kSettingsFileName));
    if (!file)
        return;
    const SettingsRead& read = *file;
    if (read.level)
        m_game.setLevel(*read.level, true);
    if (read.playerName) {
        const QString name = QString::fromStdString(latin1ToUtf8(*read.playerName));
        Text1->setMaxLength(std::max(kNameLength, static_cast<int>(name.size())));
        Text1->setText(name);
    }
    if (read.sound) {
        m_game.setSoundOn(*read.sound);
        showSettings();
    }
}

void Form1::fitStrip()
{
    // Captions, the link and the chooser get the room their texts need in
    // the fonts we draw with; the value labels were designed wide enough.
    std::vector<FitControl> controls;
    for (QWidget* w : Picture2->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (const auto* label = qobject_cast<QLabel*>(w))
            controls.push_back({w, labelNeeds(label)});
        else if (w == Combo1)
            controls.push_back({w, QSize(Combo1->sizeHint().width(), Combo1->height())});
        else
            controls.push_back({w, w->size()});
    }
    fitControls(controls);
}

void Form1::placeTitlePicture()
{
    const int stripHeight = Picture2->height();
    Picture1->move((m_client->width() - Picture1->width()) / 2,
                   (m_client->height() - Picture1->height() + stripHeight) / 2);
}

void Form1::dockWordFrame()
{
    Frame3d1->setGeometry(m_client->width() - Frame3d1->width(), Frame3d1->y(), Frame3d1->width(),
                          std::max(m_client->height() - Picture2->height(), 1));
}

// ---------------------------------------------------------------- handlers

void Form1::MenuNuovo_Click()
{
    m_game.newGame();
}

void Form1::Command3d1_Click()
{
    MenuNuovo_Click();
}

void Form1::Picture1_Click()
{
    MenuNuovo_Click();
}

void Form1::Form_MouseDown(Button button, Modifiers, double x, double y)
{
    m_game.press(button, x, y);
}

void Form1::Grid_KeyPress(Cell cell)
{
    m_game.selectCell(cell);
}

void Form1::ShowScore(i32 amount)
{
    m_game.ShowScore(amount);
}

void Form1::Timer1_Timer()
{
    m_game.tick();
}

void Form1::Label2_MouseDown(Button button, Modifiers modifiers)
{
    m_game.timeLabelPressed(button, modifiers);
}

void Form1::Label7_MouseDown(Button button, Modifiers modifiers)
{
    m_game.errorsLabelPressed(button, modifiers);
}

void Form1::Form_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Arrow);
}

void Form1::Picture1_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Hand);
}

void Form1::Picture2_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Arrow);
}

void Form1::Label2_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Arrow);
}

void Form1::Label4_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Arrow);
}

void Form1::Label12_MouseMove()
{
    m_platform.setScreenPointer(Pointer::Hand);
}

void Form1::MenuHi_Click()
{
    m_game.showHighScoreTable();
}

void Form1::menuEsci_Click()
{
    m_quitting = true;  // the table shown now is the last thing before the program ends
    m_game.quit();
}

void Form1::Menulev_Click(int index)
{
    m_game.chooseLevel(index);
}

void Form1::Combo1_Click()
{
    // A new game with the new words takes the keys to the grid (changed()).
    m_game.chooseDictionary(Combo1->currentIndex() + 1);
}

void Form1::MenuSuono_Click()
{
    m_game.toggleSound();
}

void Form1::Text1_LostFocus()
{
    SaveSettings();
}

void Form1::SaveSettings()
{
    std::array<bool, 4> checked{};
    checked[static_cast<std::size_t>(m_game.level())] = true;
    const std::string text = formatSettings(checked, m_game.playerName(), m_game.soundOn());
    // The player's folder of an installed copy is made on the first save.
    makeFolder(m_settingsFolder);
    const WriteOutcome written = writeSettingsFile(m_settingsFolder, text);
    if (written.ok() || m_settingsWarned)
        return;
    m_settingsWarned = true;  // said once; the game goes on without saving
    tell(settingsWriteFailedMessage(written));
}

void Form1::MenuAiuto_Click()
{
    openHelpPage(m_platform, m_folder);
}

void Form1::MenuMail_Click()
{
    openAuthorMail(m_platform);
}

void Form1::menuPHP_Click()
{
    openHomePage(m_platform);
}

void Form1::Label12_Click()
{
    menuPHP_Click();
}

void Form1::MenuInformazioni_Click()
{
    const FocusReturn back;
    showAbout(m_platform, m_hand, m_folder);
}

// ---------------------------------------------------------------- what the game asks

void Form1::showHighScores()
{
    if (m_game.state().RecordNewScore)
        makeFolder(m_scoresFolder);  // the table is about to be written, maybe for the first time
    const FocusReturn back;  // this window is disabled meanwhile and forgets its focus
    const Game& game = m_game;
    vortigo::showHighScores({game.state(), m_platform, this, QString::fromStdString(latin1ToUtf8(game.playerName())),
                             m_hand, m_scoresFolder, m_quitting,
                             folderToRead(m_scoresFolder, m_folder, kScoreFileName)});
}

LayoutArea Form1::gridArea() const
{
    return {m_client->width(), m_client->height(), Frame3d1->width(), Picture2->height()};
}

void Form1::cellChanged(Cell cell)
{
    drawCell(m_surface, m_game, cell);
    gridCellChanged(m_client, cell);
}

void Form1::announce(const std::string& text)
{
    vortigo::announce(m_announcer, QString::fromStdString(text));
}

void Form1::tell(const std::string& text)
{
    m_platform.messageBox(text, Buttons::Ok);
}

// ---------------------------------------------------------------- showing the game

void Form1::changed(unsigned what)
{
    if (what & kStageChanged)
        showStage();
    if (what & kStatusChanged)
        showStatus();
    if (what & kWordsChanged)
        showWords();
    // Without a grid the grid is no stop of the Tab key: nothing there to show the focus or to play.
    if (what & (kStageChanged | kGridChanged))
        m_client->setFocusPolicy(m_game.gridShown() ? Qt::StrongFocus : Qt::ClickFocus);
    if (what & kGridChanged) {
        drawRound(m_surface, m_game);
        gridRebuilt(m_client);
        m_client->resetFocusCell();
        // A new round: the keys go to the grid, the ring on its top-left cell,
        // and a screen reader hears that cell (a cell of the new grid).
        if (m_game.gridShown() && !m_game.ended()) {
            if (m_client->hasFocus())
                gridFocusMoved(m_client);
            else
                m_client->setFocus(Qt::OtherFocusReason);
        }
    }
    if (what & kClockChanged) {
        if (!m_game.clockRunning())
            Timer1->stop();
        else if (!Timer1->isActive())
            Timer1->start();
    }
    if (what & kSettingsChanged)
        showSettings();
}

void Form1::showStage()
{
    for (QLabel* l : {Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9})
        l->setVisible(m_game.playing());
    if (!m_game.playing()) {
        // The title screen, as at start-up: a first round that could not be built leaves it there.
        placeTitlePicture();
        Picture1->show();
        return;
    }
    Picture1->move(Picture1->x(), screen() ? screen()->geometry().height() : 10000);
    Picture1->hide();
    dockWordFrame();
    Frame3d1->show();
}

void Form1::showStatus()
{
    const i32 score = m_game.scoreShown();
    // Texts and names are set only when they change: each change is an
    // event a screen reader may read out, and the strip is shown on every tick.
    const auto show = [](QLabel* label, const QString& text) {
        if (label->text() != text)
            label->setText(text);
    };
    show(Label3, QString::fromStdString(m_game.scoreCaption()));
    if (score < 0)
        setColours(Label3, paletteColour(kWhite), paletteColour(kRed));
    else if (score == 0)
        setColours(Label3, paletteColour(kBlack), paletteColour(kYellow));
    else
        setColours(Label3, paletteColour(kBlack), paletteColour(kLightGreen));
    show(Label7, QString::number(m_game.errorsLeft()));
    show(Label8, QString::number(m_game.roundShown()));
    show(Label2, QString::fromStdString(m_game.timeCaption()));
    if (const auto colours = m_game.timeColours())
        setColours(Label2, paletteColour(colours->text), paletteColour(colours->back));

    // A screen reader hears each value with what it is: "Tempo rimasto: Sec.32".
    const auto name = [](QLabel* value, const QString& caption, const QString& whenEmpty) {
        const QString shown = value->text().isEmpty() ? whenEmpty : value->text();
        setAccessibleNameIfChanged(value, shown.isEmpty() ? caption : caption + QStringLiteral(": ") + shown);
    };
    name(Label2, QStringLiteral("Tempo rimasto"), QString());
    name(Label3, QStringLiteral("Punti fatti"), QStringLiteral("0"));
    name(Label7, QStringLiteral("Errori ammissibili"), QString());
    name(Label8, QStringLiteral("Manche in corso"), QString());
}

void Form1::showWords()
{
    for (int i = 0; i < GameState::kMaxWords; ++i) {
        QLabel* label = Label1[static_cast<std::size_t>(i)];
        if (!m_game.wordShown(i)) {
            label->setText(QString());
            label->hide();
            continue;
        }
        if (m_game.wordFound(i))
            setColours(label, paletteColour(kWhite), paletteColour(kBlue));
        else
            setColours(label, paletteColour(kBlue), paletteColour(kWhite));
        const QString caption = QString::fromStdString(latin1ToUtf8(m_game.wordCaption(i)));
        if (label->text() != caption)
            label->setText(caption);
        label->show();
        // Found or not is said in words, not only by the colours.
        const std::size_t length = m_game.state().WordList(i).size();
        if (m_game.wordFound(i))
            setAccessibleNameIfChanged(label, label->text() + QStringLiteral(", trovata"));
        else if (m_game.wordCaption(i) != m_game.state().WordList(i))
            setAccessibleNameIfChanged(label, QStringLiteral("Parola nascosta di %1 lettere, da trovare").arg(length));
        else
            setAccessibleNameIfChanged(label, label->text() + QStringLiteral(", da trovare"));
    }
}

void Form1::showSettings()
{
    for (int i = 0; i < 4; ++i)
        Menulev[static_cast<std::size_t>(i)]->setChecked(i == m_game.level());
    MenuSuono->setChecked(m_game.soundOn());
}

}  // namespace vortigo
