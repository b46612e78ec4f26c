// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assets/pictures.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace vortigo::assets {

namespace {

// The game's own colours: found words are yellow with blue letters, letters in
// progress are red with white letters, the grid sits in a red frame.
const QColor kFoundCell(255, 255, 0);
const QColor kFoundLetter(0, 0, 128);
const QColor kClickedCell(200, 0, 0);
const QColor kGridFrame(190, 0, 0);
const QColor kInk(30, 40, 90);

QFont pixelFont(const QString& family, double pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QImage blank(int width, int height, const QColor& fill = Qt::transparent)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void beginSmooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Text as a path, so it can be outlined, shadowed and filled with a gradient.
QPainterPath textPath(const QFont& font, const QString& text, QPointF baseline)
{
    QPainterPath path;
    path.addText(baseline, font, text);
    return path;
}

// Text drawn from its outline, thickened by a pen of the fill colour: the bold
// face of the shipped font is wide but light, and titles want real weight.
// The text is centred on its ink in box.
QPainterPath centredTextPath(const QFont& font, const QString& text, const QRectF& box)
{
    const QPainterPath path = textPath(font, text, QPointF(0, 0));
    const QRectF ink = path.boundingRect();
    return path.translated(box.center() - ink.center());
}

void heavyText(QPainter& p, const QPainterPath& path, const QBrush& fill, double weight)
{
    p.save();
    p.setPen(QPen(fill, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

// A soft shadow made of a few widening, fading copies of a path.
void softShadow(QPainter& p, const QPainterPath& path, QPointF offset, int alpha, double spread)
{
    p.save();
    p.translate(offset);
    for (int i = 4; i >= 1; --i) {
        QPen pen(QColor(0, 0, 0, alpha / (i + 1)), spread * i / 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(QColor(0, 0, 0, alpha / (i + 1)));
        p.drawPath(path);
    }
    p.restore();
}

// The word-search card of the title picture: a small grid with one word found
// (yellow) and one being clicked (red), tilted a little for liveliness.
void drawLetterGrid(QPainter& p, const PictureFonts& fonts, QPointF centre, double cell, double angle)
{
    static const std::array<const char*, 6> kRows = {
        "PAROLAM",
        "ETZUSBI",
        "GIRCONE",
        "CLUOFDS",
        "ANEMVIT",
        "SQUILAN",
    };
    constexpr int kCols = 7;
    constexpr int kRowCount = 6;
    auto found = [](int col, int row) { return row == 0 && col < 6; };           // PAROLA
    auto clicked = [](int col, int row) { return row >= 1 && col == row; };      // TROVA, diagonal

    const double width = cell * kCols;
    const double height = cell * kRowCount;
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.translate(-width / 2, -height / 2);

    QPainterPath card;
    card.addRoundedRect(QRectF(-8, -8, width + 16, height + 16), 10, 10);
    softShadow(p, card, QPointF(5, 7), 70, 6);
    p.setPen(QPen(kGridFrame, 3));
    p.setBrush(Qt::white);
    p.drawPath(card);

    const QFont letterFont = pixelFont(fonts.bold, cell * 0.6, true);
    for (int row = 0; row < kRowCount; ++row) {
        for (int col = 0; col < kCols; ++col) {
            const QRectF box(col * cell, row * cell, cell, cell);
            QColor letterColour = kInk;
            if (found(col, row) || clicked(col, row)) {
                const QRectF inner = box.adjusted(1.5, 1.5, -1.5, -1.5);
                p.setPen(Qt::NoPen);
                p.setBrush(found(col, row) ? kFoundCell : kClickedCell);
                p.drawRoundedRect(inner, 4, 4);
                letterColour = found(col, row) ? kFoundLetter : Qt::white;
            }
            const QString letter{QChar(kRows[static_cast<std::size_t>(row)][col])};
            heavyText(p, centredTextPath(letterFont, letter, box), letterColour, 0.9);
        }
    }
    // Faint cell lines, as on the game's own grid paper.
    p.setPen(QPen(QColor(200, 205, 225), 1));
    for (int col = 1; col < kCols; ++col)
        p.drawLine(QPointF(col * cell, 0), QPointF(col * cell, height));
    for (int row = 1; row < kRowCount; ++row)
        p.drawLine(QPointF(0, row * cell), QPointF(width, row * cell));

    // A highlighter stroke around the found word.
    p.setPen(QPen(QColor(230, 150, 0), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0, 0, cell * 6, cell).adjusted(-1, -1, 1, 1), cell / 2.4, cell / 2.4);
    p.restore();
}

// A five-pointed star centred on c.
QPainterPath star(QPointF c, double outer, double inner, double turn = -90.0)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? outer : inner;
        const double a = (turn + i * 36.0) * M_PI / 180.0;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

// A golden cup with two handles on a small base, drawn into the rectangle r.
void drawCup(QPainter& p, const QRectF& r)
{
    const double w = r.width(), h = r.height();
    auto at = [&](double fx, double fy) { return QPointF(r.left() + fx * w, r.top() + fy * h); };

    QLinearGradient gold(r.topLeft(), r.topRight());
    gold.setColorAt(0.0, QColor(200, 140, 10));
    gold.setColorAt(0.35, QColor(255, 225, 90));
    gold.setColorAt(0.55, QColor(255, 245, 170));
    gold.setColorAt(1.0, QColor(190, 120, 0));
    const QPen edge(QColor(130, 80, 0), std::max(1.0, w / 28.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Handles first, so the bowl covers their inner ends.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(130, 80, 0), w * 0.11, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(at(0.02, 0.08), at(0.36, 0.46)), 90 * 16, 180 * 16);
    p.drawArc(QRectF(at(0.64, 0.08), at(0.98, 0.46)), -90 * 16, 180 * 16);
    p.setPen(QPen(QColor(240, 190, 40), w * 0.06, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(at(0.02, 0.08), at(0.36, 0.46)), 90 * 16, 180 * 16);
    p.drawArc(QRectF(at(0.64, 0.08), at(0.98, 0.46)), -90 * 16, 180 * 16);

    QPainterPath bowl;
    bowl.moveTo(at(0.16, 0.04));
    bowl.lineTo(at(0.84, 0.04));
    bowl.cubicTo(at(0.84, 0.42), at(0.70, 0.60), at(0.56, 0.62));
    bowl.lineTo(at(0.56, 0.74));
    bowl.cubicTo(at(0.56, 0.78), at(0.66, 0.80), at(0.68, 0.82));
    bowl.lineTo(at(0.32, 0.82));
    bowl.cubicTo(at(0.34, 0.80), at(0.44, 0.78), at(0.44, 0.74));
    bowl.lineTo(at(0.44, 0.62));
    bowl.cubicTo(at(0.30, 0.60), at(0.16, 0.42), at(0.16, 0.04));
    bowl.closeSubpath();
    p.setPen(edge);
    p.setBrush(gold);
    p.drawPath(bowl);

    QLinearGradient plinth(r.topLeft(), r.topRight());
    plinth.setColorAt(0.0, QColor(90, 50, 20));
    plinth.setColorAt(0.5, QColor(150, 95, 45));
    plinth.setColorAt(1.0, QColor(80, 45, 15));
    p.setBrush(plinth);
    p.setPen(QPen(QColor(60, 30, 10), std::max(1.0, w / 32.0)));
    p.drawRoundedRect(QRectF(at(0.24, 0.82), at(0.76, 0.98)), w * 0.04, w * 0.04);

    // A gleam down the left of the bowl.
    p.setPen(QPen(QColor(255, 255, 230, 200), std::max(1.0, w * 0.05), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(0.30, 0.12), at(0.32, 0.36));
}

}  // namespace

PictureFonts loadFonts(const QString& regularFile, const QString& boldFile)
{
    PictureFonts fonts;
    const int regularId = QFontDatabase::addApplicationFont(regularFile);
    const int boldId = QFontDatabase::addApplicationFont(boldFile);
    if (regularId >= 0 && !QFontDatabase::applicationFontFamilies(regularId).isEmpty())
        fonts.regular = QFontDatabase::applicationFontFamilies(regularId).first();
    if (boldId >= 0 && !QFontDatabase::applicationFontFamilies(boldId).isEmpty())
        fonts.bold = QFontDatabase::applicationFontFamilies(boldId).first();
    return fonts;
}

QImage titlePicture(const PictureFonts& fonts)
{
    constexpr int kWidth = 640;
    constexpr int kHeight = 300;
    QImage image = blank(kWidth, kHeight, Qt::white);
    QPainter p(&image);
    beginSmooth(p);

    // A pale sky behind everything, fading to the white of the picture box at the edges.
    QRadialGradient sky(QPointF(400, 110), 420);
    sky.setColorAt(0.0, QColor(232, 244, 255));
    sky.setColorAt(0.7, QColor(246, 250, 255));
    sky.setColorAt(1.0, Qt::white);
    p.fillRect(image.rect(), sky);

    // Loose letters drifting in the background.
    const QString drift = QStringLiteral("ABCDEFGILMNOPRSTUVZ");
    p.setFont(pixelFont(fonts.bold, 22, true));
    for (int i = 0; i < 26; ++i) {
        const double x = 270 + std::fmod(i * 137.0, 360.0);
        const double y = 24 + std::fmod(i * 89.0, 260.0);
        p.save();
        p.translate(x, y);
        p.rotate(std::fmod(i * 47.0, 60.0) - 30.0);
        p.setPen(QColor(190, 210, 240, 110));
        p.drawText(QPointF(0, 0), QString(drift[i % drift.size()]));
        p.restore();
    }

    drawLetterGrid(p, fonts, QPointF(150, 146), 33, -9.0);

    // The name, one bright colour per letter, white-rimmed on a soft shadow.
    const QString name = QStringLiteral("Vortigo");
    const QFont nameFont = pixelFont(fonts.bold, 92, true);
    const QFontMetricsF nameMetrics(nameFont);
    const double nameWidth = nameMetrics.horizontalAdvance(name);
    const double nameLeft = 455 - nameWidth / 2;
    const double nameBase = 138;
    static const std::array<QColor, 7> kLetterColours = {
        QColor(0, 90, 200), QColor(230, 60, 40), QColor(250, 160, 0), QColor(40, 160, 60),
        QColor(150, 60, 190), QColor(0, 160, 190), QColor(230, 60, 120)};
    QPainterPath whole = textPath(nameFont, name, QPointF(nameLeft, nameBase));
    softShadow(p, whole, QPointF(4, 5), 90, 5);
    p.setPen(QPen(Qt::white, 15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(whole);
    double x = nameLeft;
    for (int i = 0; i < name.size(); ++i) {
        const QString letter = name.mid(i, 1);
        const QPainterPath glyph = textPath(nameFont, letter, QPointF(x, nameBase));
        const QRectF box = glyph.boundingRect();
        QLinearGradient shade(box.topLeft(), box.bottomLeft());
        const QColor base = kLetterColours[static_cast<std::size_t>(i)];
        shade.setColorAt(0.0, base.lighter(135));
        shade.setColorAt(1.0, base.darker(115));
        p.setPen(QPen(base.darker(150), 6.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(glyph);
        heavyText(p, glyph, shade, 3.5);
        x += nameMetrics.horizontalAdvance(letter);
    }

    // The strapline under the name.
    heavyText(p, centredTextPath(pixelFont(fonts.bold, 19, true), QStringLiteral("Trova tutte le parole nascoste!"),
                                 QRectF(290, 152, 330, 30)),
              kInk, 0.7);

    // The invitation, as a big friendly button.
    const QRectF pill(322, 204, 266, 52);
    QPainterPath pillPath;
    pillPath.addRoundedRect(pill, 26, 26);
    softShadow(p, pillPath, QPointF(3, 4), 80, 4);
    QLinearGradient green(pill.topLeft(), pill.bottomLeft());
    green.setColorAt(0.0, QColor(120, 210, 90));
    green.setColorAt(0.5, QColor(50, 170, 50));
    green.setColorAt(1.0, QColor(30, 130, 40));
    p.setPen(QPen(QColor(20, 100, 30), 2));
    p.setBrush(green);
    p.drawPath(pillPath);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRectF(pill.left() + 10, pill.top() + 4, pill.width() - 20, pill.height() / 2 - 4), 14, 14);
    const QPainterPath invitation =
        centredTextPath(pixelFont(fonts.bold, 21, true), QStringLiteral("Clicca per nuova partita"), pill);
    heavyText(p, invitation.translated(1, 2), QColor(0, 70, 0, 140), 1.0);
    heavyText(p, invitation, Qt::white, 1.0);

    // A pointing hand would need a picture; a small arrow into the button says the same.
    QPainterPath arrow;
    arrow.moveTo(598, 230);
    arrow.lineTo(616, 218);
    arrow.lineTo(616, 242);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 100, 30), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(250, 190, 0));
    p.drawPath(arrow);

    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

void drawAppIcon(QPainter& p, const PictureFonts& fonts)
{
    beginSmooth(p);

    // A tile of grid paper...
    const QRectF tile(1.5, 1.5, 29, 29);
    QLinearGradient paper(tile.topLeft(), tile.bottomRight());
    paper.setColorAt(0.0, Qt::white);
    paper.setColorAt(1.0, QColor(220, 230, 250));
    p.setPen(QPen(kGridFrame, 2));
    p.setBrush(paper);
    p.drawRoundedRect(tile, 5, 5);
    p.setPen(QPen(QColor(185, 195, 225), 1));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(1.5 + i * 29.0 / 4, 3), QPointF(1.5 + i * 29.0 / 4, 29));
        p.drawLine(QPointF(3, 1.5 + i * 29.0 / 4), QPointF(29, 1.5 + i * 29.0 / 4));
    }
    // ...a word marked across it in yellow...
    p.save();
    p.translate(16, 16);
    p.rotate(-45);
    p.setPen(QPen(QColor(215, 150, 0), 1));
    p.setBrush(kFoundCell);
    p.drawRoundedRect(QRectF(-14, -4.5, 28, 9), 4.5, 4.5);
    p.restore();
    // ...and the V of the name on top.
    const QFont vFont = pixelFont(fonts.bold, 26, true);
    const QPainterPath v = textPath(vFont, QStringLiteral("V"), QPointF(0, 0));
    const QRectF vBox = v.boundingRect();
    const QPainterPath placed = v.translated(16 - vBox.center().x(), 16.5 - vBox.center().y());
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(placed);
    heavyText(p, placed, QColor(0, 60, 170), 1.3);
}

QImage windowIcon(const PictureFonts& fonts)
{
    return appIcon(fonts, 32);
}

QImage appIcon(const PictureFonts& fonts, int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    p.scale(size / 32.0, size / 32.0);
    drawAppIcon(p, fonts);
    p.end();
    return image;
}

QImage newGamePicture()
{
    QImage image = blank(40, 36);
    QPainter p(&image);
    beginSmooth(p);

    // A fresh sheet of puzzle, slightly turned.
    p.save();
    p.translate(17, 16);
    p.rotate(-8);
    const QRectF sheet(-13, -13, 26, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(sheet.translated(1.5, 2), 3, 3);
    p.setPen(QPen(kGridFrame, 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kFoundCell);
    p.drawRect(QRectF(-11, -8.5, 22, 6));
    // Letters too small to read become little blocks: blue on the found word, grey elsewhere.
    p.setBrush(kFoundLetter);
    for (int col = 0; col < 5; ++col)
        p.drawRect(QRectF(-9.6 + col * 4.4, -7, 2.4, 3));
    p.setBrush(QColor(120, 130, 160));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 5; ++col)
            p.drawRect(QRectF(-9.6 + col * 4.4, -0.5 + row * 4.2, 2.2, 2.4));
    }
    p.restore();

    // A green "go" badge in the corner.
    const QPointF c(29, 25);
    QRadialGradient green(c + QPointF(-2, -3), 11);
    green.setColorAt(0.0, QColor(140, 230, 110));
    green.setColorAt(1.0, QColor(20, 140, 40));
    p.setPen(QPen(QColor(10, 90, 20), 1.2));
    p.setBrush(green);
    p.drawEllipse(c, 9.5, 9.5);
    QPainterPath play;
    play.moveTo(c + QPointF(-3, -5));
    play.lineTo(c + QPointF(5.5, 0));
    play.lineTo(c + QPointF(-3, 5));
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(play);
    p.end();
    return image;
}

QImage trophyIcon()
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    beginSmooth(p);
    drawCup(p, QRectF(1, 2, 30, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawPath(star(QPointF(16, 10), 4.5, 2.0));
    p.end();
    return image;
}

QImage scoresPicture(const PictureFonts& fonts)
{
    QImage image = blank(200, 200);
    QPainter p(&image);
    beginSmooth(p);

    // A round spotlight behind the podium.
    QRadialGradient glow(QPointF(100, 95), 100);
    glow.setColorAt(0.0, QColor(255, 250, 200));
    glow.setColorAt(0.75, QColor(200, 230, 255));
    glow.setColorAt(1.0, QColor(200, 230, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(100, 100), 99, 99);

    // Rays and stars for the winner.
    p.setPen(QPen(QColor(255, 215, 80, 150), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 9; ++i) {
        const double a = (200.0 + i * 17.5) * M_PI / 180.0;
        p.drawLine(QPointF(100 + 52 * std::cos(a), 62 + 52 * std::sin(a)),
                   QPointF(100 + 70 * std::cos(a), 62 + 70 * std::sin(a)));
    }
    p.setPen(QPen(QColor(200, 140, 0), 1));
    p.setBrush(QColor(255, 210, 40));
    p.drawPath(star(QPointF(28, 38), 10, 4.2));
    p.drawPath(star(QPointF(172, 34), 8, 3.4));
    p.drawPath(star(QPointF(160, 76), 5, 2.1));
    p.drawPath(star(QPointF(40, 78), 5.5, 2.3));

    // The podium: the winner's step in the middle, silver left, bronze right.
    struct Step {
        QRectF box;
        QColor colour;
        const char* place;
    };
    const std::array<Step, 3> steps = {{
        {QRectF(68, 112, 64, 78), QColor(230, 60, 40), "1"},
        {QRectF(10, 136, 60, 54), QColor(0, 110, 210), "2"},
        {QRectF(130, 152, 60, 38), QColor(40, 160, 60), "3"},
    }};
    for (const Step& s : steps) {
        QLinearGradient face(s.box.topLeft(), s.box.bottomLeft());
        face.setColorAt(0.0, s.colour.lighter(125));
        face.setColorAt(1.0, s.colour.darker(120));
        p.setPen(QPen(s.colour.darker(170), 1.5));
        p.setBrush(face);
        p.drawRoundedRect(s.box, 4, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawRect(QRectF(s.box.left() + 3, s.box.top() + 3, s.box.width() - 6, 5));
        const QPainterPath digit = centredTextPath(pixelFont(fonts.bold, s.place[0] == '1' ? 36 : 28, true),
                                                   QString::fromLatin1(s.place), s.box.adjusted(0, 4, 0, 0));
        heavyText(p, digit.translated(1.5, 2), QColor(0, 0, 0, 80), 2.5);
        heavyText(p, digit, Qt::white, 2.5);
    }
    p.setPen(QPen(QColor(90, 90, 110), 2));
    p.drawLine(QPointF(6, 191), QPointF(194, 191));

    // The cup stands on the first step, with two medals beside it.
    drawCup(p, QRectF(72, 36, 56, 76));
    auto medal = [&](QPointF c, QColor metal, QColor ribbon) {
        p.setPen(Qt::NoPen);
        p.setBrush(ribbon);
        QPainterPath band;
        band.moveTo(c + QPointF(-7, -22));
        band.lineTo(c + QPointF(-1, -22));
        band.lineTo(c + QPointF(4, -6));
        band.lineTo(c + QPointF(-3, -6));
        band.closeSubpath();
        band.moveTo(c + QPointF(7, -22));
        band.lineTo(c + QPointF(1, -22));
        band.lineTo(c + QPointF(-4, -6));
        band.lineTo(c + QPointF(3, -6));
        band.closeSubpath();
        p.drawPath(band);
        QRadialGradient shine(c + QPointF(-3, -3), 12);
        shine.setColorAt(0.0, metal.lighter(140));
        shine.setColorAt(1.0, metal.darker(130));
        p.setPen(QPen(metal.darker(170), 1));
        p.setBrush(shine);
        p.drawEllipse(c, 9, 9);
    };
    medal(QPointF(40, 120), QColor(190, 190, 200), QColor(0, 110, 210));
    medal(QPointF(160, 136), QColor(205, 127, 50), QColor(40, 160, 60));
    p.end();
    return image;
}

QImage okIcon()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    beginSmooth(p);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(10, 90, 20), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(60, 190, 60), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.end();
    return image;
}

QImage italianSoftware(const PictureFonts& fonts)
{
    QImage image = blank(60, 47);
    QPainter p(&image);
    beginSmooth(p);

    // The flag waves: each band is a strip between two gently curved edges.
    auto wave = [](double x) { return 2.2 * std::sin((x - 6) / 46.0 * 2.0 * M_PI); };
    const double top = 4, bottom = 33, left = 8, right = 56;
    auto band = [&](double x0, double x1) {
        QPainterPath path;
        path.moveTo(x0, top + wave(x0));
        for (double x = x0; x <= x1; x += 1.0)
            path.lineTo(x, top + wave(x));
        path.lineTo(x1, top + wave(x1));
        for (double x = x1; x >= x0; x -= 1.0)
            path.lineTo(x, bottom + wave(x));
        path.lineTo(x0, bottom + wave(x0));
        path.closeSubpath();
        return path;
    };
    const double third = (right - left) / 3.0;
    QPainterPath whole = band(left, right);
    softShadow(p, whole, QPointF(1.5, 2), 60, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 146, 70));
    p.drawPath(band(left, left + third + 0.5));
    p.setBrush(QColor(244, 245, 240));
    p.drawPath(band(left + third, left + 2 * third + 0.5));
    p.setBrush(QColor(206, 43, 55));
    p.drawPath(band(left + 2 * third, right));
    // Light and shade follow the wave.
    QLinearGradient folds(QPointF(left, 0), QPointF(right, 0));
    for (int i = 0; i <= 8; ++i) {
        const double f = i / 8.0;
        const double slope = std::cos((left + f * (right - left) - 6) / 46.0 * 2.0 * M_PI);
        folds.setColorAt(f, slope > 0 ? QColor(255, 255, 255, static_cast<int>(55 * slope))
                                      : QColor(0, 0, 0, static_cast<int>(-45 * slope)));
    }
    p.setBrush(folds);
    p.drawPath(whole);
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(whole);

    // The pole.
    QLinearGradient pole(QPointF(4, 0), QPointF(8, 0));
    pole.setColorAt(0.0, QColor(120, 80, 40));
    pole.setColorAt(0.5, QColor(200, 150, 90));
    pole.setColorAt(1.0, QColor(110, 70, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(pole);
    p.drawRoundedRect(QRectF(4.5, 2, 3.5, 44), 1.5, 1.5);
    p.setBrush(QColor(230, 180, 40));
    p.drawEllipse(QPointF(6.25, 2.5), 2.6, 2.6);

    // The label under the flag.
    heavyText(p, centredTextPath(pixelFont(fonts.bold, 10, true), QStringLiteral("ITALIA"), QRectF(10, 36, 48, 11)),
              QColor(20, 40, 110), 0.6);
    p.end();
    return image;
}

}  // namespace vortigo::assets
