// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "app/dictionary_file.h"
#include "app/grid_area.h"
#include "app/hand_cursor.h"
#include "app/settings_file.h"
#include "app/sound_rules.h"
#include "core/countdown.h"
#include "core/grid_filling.h"
#include "core/grid_layout.h"
#include "core/number_rules.h"
#include "core/palette.h"
#include "core/score_format.h"
#include "core/selection.h"
#include "core/text_codec.h"
#include "core/word_placement.h"
#include "info/form3.h"
#include "info/links.h"
#include "scores/form4.h"
#include "widgets/game_fonts.h"
#include "widgets/window_design.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QFocusEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

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

QColor backColour(const QWidget* w)
{
    return w->palette().color(QPalette::Window);
}

// Whole numbers as plain decimal text, the way Label7 shows its count.
std::string numberText(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    return std::to_string(value);
}

const QColor kStripYellow(255, 255, 128);
const QColor kCaptionPeach(255, 224, 192);

constexpr int kGestureShift = 3;  // Shift + Ctrl, exactly, with the right button

}  // namespace

// ---------------------------------------------------------------- building

Form1::Form1(Platform& platform, std::filesystem::path programFolder, QWidget* parent)
    : Form1(platform, GameFolders{programFolder, programFolder, programFolder}, parent)
{
}

Form1::Form1(Platform& platform, GameFolders folders, QWidget* parent)
    : QMainWindow(parent),
      m_platform(platform),
      m_folder(std::move(folders.data)),
      m_settingsFolder(std::move(folders.settings)),
      m_scoresFolder(std::move(folders.scores)),
      m_random([&platform] { return platform.secondsSinceMidnight(); })
{
    registerGameFonts();
    registerPictures();
    setWindowTitle(QStringLiteral("Vortigo"));
    setWindowIcon(QIcon(QStringLiteral(":/images/vortigo-icon.png")));
    setFont(tahoma(8.25, true));

    m_client = new GridArea(m_surface, this);
    setCentralWidget(m_client);
    m_client->onPress = [this](int button, int shift, double x, double y) {
        dispatch([=, this] { Form_MouseDown(button, shift, x, y); });
    };
    m_client->onMove = [this] { Form_MouseMove(); };
    m_client->onResize = [this] {
        Picture2->setFixedWidth(m_client->width());
        if (!Frame3d1->isHidden())
            dockWordFrame();
        if (m_state.Round == 0 && m_state.RoundStatus == 0)
            placeTitlePicture();
    };
    m_surface.setBackColour(kWhite);
    m_surface.clear();

    buildControls();
    buildMenus();
    // Client area of the design: 10200 x 9300 twips.
    resize(tw(10200), tw(9300) + menuBar()->sizeHint().height());
}

Form1::~Form1() = default;

QWidget* Form1::clientArea() const
{
    return m_client;
}

void Form1::buildControls()
{
    m_hand = handCursor(handPicture());
    Picture3 = new QLabel(m_client);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setPixmap(handPicture());
    Picture3->hide();

    Picture2 = new QWidget(m_client);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setGeometry(twipRect(0, 0, 10200, 735));
    setColours(Picture2, Qt::black, kStripYellow);
    Picture2->setMouseTracking(true);

    Frame3d1 = new QGroupBox(QStringLiteral("Parole da trovare"), m_client);
    Frame3d1->setObjectName(QStringLiteral("Frame3d1"));
    Frame3d1->setGeometry(twipRect(7530, 750, 1665, 6315));
    Frame3d1->setFont(tahoma(8.25, true));
    setColours(Frame3d1, Qt::black, Qt::white);
    for (int i = 0; i < 20; ++i) {
        QLabel* l = new QLabel(QStringLiteral("Label1"), Frame3d1);
        l->setObjectName(QStringLiteral("Label1_%1").arg(i));
        l->setGeometry(tw(90), tw(210 + 256 * i), tw(1455), tw(285));
        l->setToolTip(QStringLiteral("Lista delle parole da trovare"));
        l->setAlignment(Qt::AlignCenter);
        setColours(l, paletteColour(kBlue), paletteColour(kWhite));
        l->hide();  // shown by the first round
        Label1[static_cast<std::size_t>(i)] = l;
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { dispatch([this] { Timer1_Timer(); }); });

    Picture1 = new QLabel(m_client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipRect(405, 750, 9600, 4500));
    Picture1->setToolTip(QStringLiteral("Clicca per nuova partita ..."));
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
        return l;
    };

    Combo1 = new QComboBox(Picture2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(twipRect(5160, 330, 975, 315));
    Combo1->setToolTip(QStringLiteral("Cambia il dizionario Ita/Eng/LATINO"));
    connect(Combo1, &QComboBox::activated, this, [this](int) { dispatch([this] { Combo1_Click(); }); });

    Text1 = new QLineEdit(QStringLiteral("Brivo"), Picture2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipRect(6150, 330, 1455, 300));
    Text1->setMaxLength(10);
    Text1->setToolTip(QStringLiteral("Immetti il tuo nome"));

    Command3d1 = new QPushButton(Picture2);
    Command3d1->setObjectName(QStringLiteral("Command3d1"));
    Command3d1->setGeometry(twipRect(60, 30, 645, 585));
    Command3d1->setIcon(QIcon(QStringLiteral(":/images/new-game.png")));
    Command3d1->setIconSize(QSize(tw(645) - 8, tw(585) - 8));
    Command3d1->setToolTip(QStringLiteral("Nuova partita ..."));
    Command3d1->setFocusPolicy(Qt::NoFocus);
    connect(Command3d1, &QPushButton::clicked, this, [this] { dispatch([this] { Command3d1_Click(); }); });

    Label11 = caption("Label11", QStringLiteral("Dizionario:"), twipRect(5220, 150, 870, 240));
    Label9 = caption("Label9", QStringLiteral("Manche:"), twipRect(4560, 150, 600, 195));
    Label4 = caption("Label4", QStringLiteral("Tempo:"), twipRect(720, 120, 525, 210));
    Label6 = caption("Label6", QStringLiteral("Errori ammessi:"), twipRect(3420, 150, 1095, 165));
    Label5 = caption("Label5", QStringLiteral("Punti:"), twipRect(2730, 150, 465, 165));
    Label10 = caption("Label10", QStringLiteral("Giocatore:"), twipRect(6180, 150, 870, 240));
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
    // The address may need more room than the design gave it; it grows to the right.
    Label12->resize(std::max(Label12->width(), Label12->sizeHint().width()), Label12->height());
    // Label12 sits where the status labels appear once a game runs.
    for (QLabel* l : {Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9})
        l->hide();
    Label12->raise();

    // Presses on controls are theirs; only the bare client area reaches Form_MouseDown.
    for (QWidget* w : {static_cast<QWidget*>(Picture1), Picture2, static_cast<QWidget*>(Frame3d1)})
        w->setAttribute(Qt::WA_NoMousePropagation);
    for (QWidget* w : {static_cast<QWidget*>(Picture1), Picture2, static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label7), static_cast<QWidget*>(Label12),
                       static_cast<QWidget*>(Text1)}) {
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
    // Qt flips a checkable item's mark before it reports the trigger; the
    // handlers set the marks themselves, so the flip is undone first.
    auto checkable = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& key,
                            std::function<void()> handler) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, [this, a, handler](bool checked) {
            a->setChecked(!checked);
            dispatch(handler);
        });
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
    for (int i = 0; i < 4; ++i) {
        Menulev[static_cast<std::size_t>(i)] = checkable(MenuLivello, "Menulev", levels[i], {}, [this, i] { Menulev_Click(i); });
        Menulev[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Menulev_%1").arg(i));
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
    // round is being built): a tick or click now would open a second box or
    // land on the wrong grid, so it is dropped.
    if (m_ended || m_handlerDepth > 0)
        return;
    ++m_handlerDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_handlerDepth};
    handler();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == Text1) {
        // Focus that leaves the name box within the window (another control,
        // a menu) counts; the whole window losing activation to a message box
        // or another program does not, and nothing counts once the game has ended.
        if (type == QEvent::FocusOut && !m_ended
            && static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            Text1_LostFocus();
        return false;
    }
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
        const int button = buttonNumber(mouse->button());
        const int shift = shiftNumber(mouse->modifiers());
        if (watched == Label2)
            dispatch([=, this] { Label2_MouseDown(button, shift); });
        else if (watched == Label7)
            dispatch([=, this] { Label7_MouseDown(button, shift); });
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
    m_state.DictionaryIndex = 1;
    fillConstantTables(m_state);

    std::error_code ec;
    std::filesystem::current_path(m_folder, ec);

    const QString picture = QString::fromStdString((m_folder / "vortigo.gif").string());
    QImageReader reader(picture);
    const QImage title = reader.read();
    if (title.isNull()) {
        Picture1->setText(QStringLiteral("Clicca qui per una nuova partita"));
        tell("Non riesco a caricare l'immagine del titolo \"vortigo.gif\" (il file manca o è danneggiato).\n"
             "Il gioco funziona lo stesso: clicca sul riquadro bianco o premi F2 per iniziare.");
    } else {
        Picture1->setPixmap(QPixmap::fromImage(title));
    }

    applySettingsFile();

    if (!apridiz(m_state, m_platform, m_folder)) {
        endProgram();
        return false;
    }

    placeTitlePicture();

    if (Combo1->count() == 0) {
        Combo1->addItems({QStringLiteral("Italiano"), QStringLiteral("English"), QStringLiteral("Latino")});
        Combo1->setCurrentIndex(0);
        m_state.DictionaryIndex = 1;
        Combo1_Click();  // the selection equals the dictionary: nothing happens
    }
    return true;
}

void Form1::applySettingsFile()
{
    const std::optional<SettingsRead> file = readSettingsFile(m_settingsFolder);
    if (!file)
        return;
    const SettingsRead& read = *file;
    if (read.level) {
        for (int i = 0; i < 4; ++i)
            Menulev[static_cast<std::size_t>(i)]->setChecked(i == *read.level);
        m_state.LevelTimeBonus = static_cast<i16>(kLevelTimeBonus[static_cast<std::size_t>(*read.level)]);
    }
    if (read.playerName)
        Text1->setText(QString::fromStdString(latin1ToUtf8(*read.playerName)));
    if (read.sound)
        MenuSuono->setChecked(*read.sound);
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

// ---------------------------------------------------------------- rounds

void Form1::Command3d1_Click()
{
    MenuNuovo_Click();
}

void Form1::Picture1_Click()
{
    MenuNuovo_Click();
}

void Form1::MenuNuovo_Click()
{
    GameState& s = m_state;
    const int reason = s.RoundStatus;
    if (reason == kRoundInPlay) {
        if (ask("Desideri veramente iniziare una nuova partita?", Buttons::OkCancel) == Answer::Cancel)
            return;
        s.RecordNewScore = kTrue;
        if (s.Score > 0)
            showHighScoresWindow();
        s.RecordNewScore = kTrue;
        s.RoundStatus = kRoundWon;
        resetGame();
    } else if (reason <= 9) {
        // A won round (or no round yet): the game goes on with the next round.
    } else if (reason == kLostByErrors) {
        const Answer again = ask("Vuoi fare un'altra partitina?", Buttons::OkCancel);
        s.RecordNewScore = kTrue;
        if (s.Score > 0)
            showHighScoresWindow();
        if (again == Answer::Cancel) {
            endProgram();
            return;
        }
        resetGame();
    } else if (reason == kLevelChanged || reason == kDictionaryChanged) {
        tell(reason == kLevelChanged ? "Si inizia ora una nuova partita con il livello selezionato."
                                     : "Si inizia ora una nuova partita con il nuovo dizionario selezionato.");
        s.RecordNewScore = kTrue;
        if (s.Score > 0)
            showHighScoresWindow();
        resetGame();
    } else {
        if (reason == kTimeOut) {
            s.RecordNewScore = kTrue;
            if (s.Score > 0)
                showHighScoresWindow();
        }
        resetGame();
    }
    if (m_ended)
        return;
    setUpRound();
}

void Form1::resetGame()
{
    m_state.Round = 0;
    m_state.Score = 0;
    ShowScore(-9999);
}

void Form1::setUpRound()
{
    GameState& s = m_state;
    s.Round = static_cast<i16>(s.Round + 1);
    Label8->setText(QString::number(s.Round));
    const int k = roundTableIndex(s.Round);
    Label7->setText(QString::number(s.RoundErrors(k)));
    s.GridCols = s.RoundCols(k);
    s.GridRows = s.RoundRows(k);
    s.LastWordIndex = s.RoundWords(k);

    m_platform.setWindowPointer(Pointer::Hourglass);
    for (QLabel* l : {Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9})
        l->show();
    Picture1->move(Picture1->x(), screen() ? screen()->geometry().height() : 10000);
    Picture1->hide();
    dockWordFrame();
    Frame3d1->show();

    s.WordsDrawn = 0;
    s.RoundStatus = kRoundInPlay;
    s.ElapsedSeconds = static_cast<i16>(3 * s.Round);

    if (!drawRoundWords()) {
        abandonRoundSetUp();
        return;
    }
    for (int i = s.LastWordIndex + 1; i < 20; ++i) {
        Label1[static_cast<std::size_t>(i)]->setText(QString());
        Label1[static_cast<std::size_t>(i)]->hide();
    }

    m_surface.setBackColour(kLightGrey);
    ComputeGridLayout(s, m_surface,
                      {m_client->width(), m_client->height(), Frame3d1->width(), Picture2->height()});
    const bool placed = PlaceWords(s, m_random);
    m_platform.setWindowPointer(Pointer::Arrow);
    if (!placed) {
        tell("Non riesco a disporre le parole di questa manche nella griglia.");
        abandonRoundSetUp();
        return;
    }
    FillGrid(s, m_surface, m_random, playerNameLatin1());

    Timer1->start();
    s.ElapsedSeconds = static_cast<i16>(3 * s.Round);
}

bool Form1::drawRoundWords()
{
    // A dictionary that is short of distinct words of a length, or a draw that
    // keeps failing, must not spin forever: after this many tries for one
    // slot the round is given up with one message.
    constexpr int kTriesPerWord = 400;
    GameState& s = m_state;
    const bool hideLast = !Menulev[0]->isChecked() && !Menulev[1]->isChecked();
    for (int i = 0; i <= s.LastWordIndex; ++i) {
        const int length = wordLengthForSlot(i);
        bool distinct = false;
        for (int tries = 0; tries < kTriesPerWord && !distinct; ++tries) {
            s.WordsDrawn = static_cast<i16>(i);
            const DrawOutcome outcome = DrawWord(s, m_platform, m_random, m_folder, length);
            if (outcome == DrawOutcome::Missing)
                return false;  // "Errore 0002" has been shown
            if (outcome != DrawOutcome::Stored)
                continue;
            distinct = true;
            for (int j = 0; j < i && distinct; ++j)
                distinct = s.WordList(j) != s.WordList(i);
        }
        if (!distinct) {
            tell("Il dizionario scelto non ha abbastanza parole diverse di " + std::to_string(length)
                 + " lettere per questa manche.\nScegli un altro dizionario.");
            return false;
        }
        QLabel* label = Label1[static_cast<std::size_t>(i)];
        setColours(label, paletteColour(kBlue), paletteColour(kWhite));
        const std::string& word = s.WordList(i);
        label->setText(i == s.LastWordIndex && hideLast ? QString(static_cast<int>(word.size()), QLatin1Char('?'))
                                                        : QString::fromStdString(latin1ToUtf8(word)));
        label->show();
    }
    return true;
}

void Form1::abandonRoundSetUp()
{
    // No round is in play: clicks are ignored and the clock stops until the
    // player asks for a new game (perhaps with another dictionary).
    m_state.RoundStatus = kRoundWon;
    m_state.Round = static_cast<i16>(m_state.Round - 1);
    Timer1->stop();
    m_platform.setWindowPointer(Pointer::Arrow);
    m_surface.setBackColour(kLightGrey);
    m_surface.clear();
}

// ---------------------------------------------------------------- play

bool Form1::wordFound(int i) const
{
    return backColour(Label1[static_cast<std::size_t>(i)]) == paletteColour(kBlue);
}

void Form1::Form_MouseDown(int button, int, double x, double y)
{
    GameState& s = m_state;
    if (s.RoundStatus == 0)
        return;
    const std::optional<Cell> hit = cellFromPointer(s, x, y);
    if (!hit || button != 1) {
        m_platform.setScreenPointer(Pointer::Default);
        PlaySound("COLLAPSE.WAV");
        return;
    }
    const Cell cell = *hit;
    const bool lit = s.CellLit(cell.col, cell.row) != kFalse;
    const int fill = lit ? kWhite : kRed;
    const int text = lit ? kBlack : kWhite;
    i32 points = 0;

    if (s.CellMark(cell.col, cell.row) > 0) {
        PlaySound("SND0002.WAV");
        for (int i = 0; i <= s.LastWordIndex; ++i) {
            const int length = static_cast<int>(s.WordList(i).size());
            for (int k = 1; k <= length; ++k) {
                if (letterCell(s, i, k) != cell)
                    continue;
                points = 0;
                if (wordFound(i))
                    continue;
                PaintCell(m_surface, s, cell, fill, text);
                s.CellLit(cell.col, cell.row) = static_cast<i16>(~s.CellLit(cell.col, cell.row));
                if (s.CellMark(cell.col, cell.row) == 1)
                    points = (i == s.LastWordIndex && !Menulev[0]->isChecked()) ? 100 : 50;
                if (points != 0) {
                    ShowScore(points);
                    points = 0;
                }
                s.CellMark(cell.col, cell.row) = 2;
                if (wordComplete(s, i))
                    completeWord(i);
            }
        }
    } else {
        points = -1000;
        const double allowance = readLooseNumber(Label7->text().toStdString()) - 1;
        Label7->setText(QString::fromStdString(numberText(allowance)));
        if (allowance == 0) {
            PlaySound("perdi.WAV");
            tell("Hai commesso un'altro errore! mi dispiace, la partita è finita.");
            s.RoundStatus = kLostByErrors;
            MenuNuovo_Click();
            return;
        }
        PlaySound("explode2.WAV");
        tell("Hai commesso un errore! Ne puoi commettere ancora " + numberText(allowance));
    }

    if (points < 0) {
        ShowScore(points);
        points = 0;
    }
    for (int i = 0; i <= s.LastWordIndex; ++i)
        if (!wordFound(i))
            return;
    PlaySound("VINCI.WAV");
    tell("Complimenti! Preparati per la manche numero " + std::to_string(s.Round + 1));
    s.RoundStatus = kRoundWon;
    MenuNuovo_Click();
}

void Form1::completeWord(int i)
{
    GameState& s = m_state;
    const int length = static_cast<int>(s.WordList(i).size());
    for (int k = 1; k <= length; ++k)
        PaintCell(m_surface, s, letterCell(s, i, k), kYellow, kBlue);
    const int bonus = wordBonus(s, i);
    QLabel* label = Label1[static_cast<std::size_t>(i)];
    setColours(label, paletteColour(kWhite), paletteColour(kBlue));
    label->setText(QString::fromStdString(latin1ToUtf8(s.WordList(i))));
    ShowScore(bonus);
}

void Form1::ShowScore(i32 amount)
{
    const long long sum = static_cast<long long>(m_state.Score) + amount;
    m_state.Score = static_cast<i32>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
    if (amount == -9999)
        m_state.Score = 0;
    Label3->setText(QString::fromStdString(formatScore(m_state.Score, m_platform.groupSeparator())));
    if (m_state.Score < 0)
        setColours(Label3, paletteColour(kWhite), paletteColour(kRed));
    else if (m_state.Score == 0)
        setColours(Label3, paletteColour(kBlack), paletteColour(kYellow));
    else
        setColours(Label3, paletteColour(kBlack), paletteColour(kLightGreen));
}

void Form1::Timer1_Timer()
{
    GameState& s = m_state;
    if (s.ElapsedSeconds < 32767)
        s.ElapsedSeconds = static_cast<i16>(s.ElapsedSeconds + 1);
    const int left = secondsLeft(s.GridCols, s.GridRows, s.ElapsedSeconds, s.LevelTimeBonus);
    const CountdownView view = countdownView(left);
    Label2->setText(QString::fromStdString(view.caption));
    if (view.colours)
        setColours(Label2, paletteColour(view.colours->text), paletteColour(view.colours->back));
    if (!view.timeUp)
        return;
    if (ask("Mi dispiace il tempo è scaduto. Vuoi fare un'altra partita?", Buttons::OkCancel) == Answer::Cancel) {
        endProgram();
        return;
    }
    s.RoundStatus = kTimeOut;
    MenuNuovo_Click();
}

void Form1::Label2_MouseDown(int button, int shift)
{
    if (button == 2 && shift == kGestureShift) {
        if (Timer1->isActive())
            Timer1->stop();
        else
            Timer1->start();
    }
}

void Form1::Label7_MouseDown(int button, int shift)
{
    if (button == 2 && shift == kGestureShift)
        Label7->setText(QString::fromStdString(numberText(readLooseNumber(Label7->text().toStdString()) + 1)));
}

// ---------------------------------------------------------------- pointer

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

// ---------------------------------------------------------------- menus

void Form1::MenuHi_Click()
{
    m_state.RecordNewScore = kFalse;
    showHighScoresWindow();
}

void Form1::menuEsci_Click()
{
    m_state.RecordNewScore = kTrue;
    if (m_state.Score > 0)
        showHighScoresWindow();
    endProgram();
}

void Form1::Menulev_Click(int index)
{
    const i16 before = m_state.LevelTimeBonus;
    for (QAction* a : Menulev)
        a->setChecked(false);
    Menulev[static_cast<std::size_t>(index)]->setChecked(true);
    for (int i = 0; i < 4; ++i)
        if (Menulev[static_cast<std::size_t>(i)]->isChecked())
            m_state.LevelTimeBonus = static_cast<i16>(kLevelTimeBonus[static_cast<std::size_t>(i)]);
    if (m_state.LevelTimeBonus == before)
        return;
    SaveSettings();
    m_state.RoundStatus = kLevelChanged;
    MenuNuovo_Click();
}

void Form1::Combo1_Click()
{
    const int chosen = Combo1->currentIndex() + 1;
    if (chosen == m_state.DictionaryIndex)
        return;
    m_state.DictionaryIndex = static_cast<i16>(chosen);
    m_state.RoundStatus = kDictionaryChanged;
    if (!apridiz(m_state, m_platform, m_folder)) {
        endProgram();
        return;
    }
    MenuNuovo_Click();
}

void Form1::MenuSuono_Click()
{
    MenuSuono->setChecked(!MenuSuono->isChecked());
    PlaySound("SOUND2.wav");
    SaveSettings();
}

void Form1::PlaySound(const std::string& fileName)
{
    vortigo::PlaySound(m_platform, MenuSuono->isChecked(), fileName);
}

void Form1::Text1_LostFocus()
{
    SaveSettings();
}

void Form1::SaveSettings()
{
    std::array<bool, 4> checked{};
    for (int i = 0; i < 4; ++i)
        checked[static_cast<std::size_t>(i)] = Menulev[static_cast<std::size_t>(i)]->isChecked();
    const std::string text = formatSettings(checked, playerNameLatin1(), MenuSuono->isChecked());
    // The player's folder of an installed copy is made on the first save.
    makeFolder(m_settingsFolder);
    if (writeSettingsFile(m_settingsFolder, text) || m_settingsWarned)
        return;
    m_settingsWarned = true;  // said once; the game goes on without saving
    tell("Non riesco a salvare le impostazioni nel file \"vortigo.INI\" (la cartella del gioco non è scrivibile).\n"
         "Il gioco continua, ma livello, nome e suono non verranno ricordati.");
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
    showAbout(m_platform, m_hand, m_folder);
}

// ---------------------------------------------------------------- helpers

void Form1::showHighScoresWindow()
{
    if (m_state.RecordNewScore)
        makeFolder(m_scoresFolder);  // the table is about to be written, maybe for the first time
    showHighScores({m_state, m_platform, this, Text1->text(), m_hand, m_scoresFolder});
}

void Form1::endProgram()
{
    m_ended = true;
    Timer1->stop();
    m_platform.endProgram();
}

Answer Form1::ask(const std::string& text, Buttons buttons)
{
    return m_platform.messageBox(text, buttons);
}

void Form1::tell(const std::string& text)
{
    m_platform.messageBox(text, Buttons::Ok);
}

std::string Form1::playerNameLatin1() const
{
    return utf8ToLatin1(Text1->text().toStdString());
}

}  // namespace vortigo
