// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption and label of the main window's strip shows its whole text in
// the fonts the game draws with, and no two controls of the strip cover each
// other, at the usual screen sizes.
#include "tests/app/form1_fixture.h"

#include "widgets/text_fit.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionComboBox>

using namespace vortigo;
using namespace vortigo::test;

namespace {

std::string name(const QWidget* w)
{
    return w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName().toStdString();
}

// Empty when the text fits the label, measured from the label's own font as Qt will lay it out.
std::string clipped(const QLabel* label, const QString& text)
{
    const QFontMetricsF metrics(label->font());
    const QRect inside = label->contentsRect();
    const QSizeF room = label->wordWrap()
        ? metrics.boundingRect(QRectF(0, 0, inside.width(), 1e6), Qt::TextWordWrap, text).size()
        : QSizeF(metrics.horizontalAdvance(text), QFontMetrics(label->font()).height());
    const bool fits = room.width() <= inside.width() && room.height() <= inside.height();
    return fits ? "" : name(label) + " \"" + text.toStdString() + "\" in " + std::to_string(inside.width());
}

// Every pair of the given controls that cover each other.
std::vector<std::string> overlaps(const QList<QWidget*>& controls)
{
    std::vector<std::string> found;
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                found.push_back(name(controls[i]) + " / " + name(controls[j]));
    return found;
}

}  // namespace

TEST_F(Form1Test, StripAndGridFitEveryScreen)
{
    for (const QSize screen : {QSize(800, 600), QSize(1024, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(std::to_string(screen.width()) + " x " + std::to_string(screen.height()));
        // Maximized: the client area is the screen less a title bar, the menu bar and a task bar.
        Form1& f = open(screen.width(), screen.height() - 80);
        ASSERT_TRUE(loaded);

        // The title screen: the link alone over the strip, the picture in the
        // middle of the room below it.
        EXPECT_EQ(clipped(control<QLabel>(f, "Label12"), control<QLabel>(f, "Label12")->text()), "");
        const int stripBottom = f.findChild<QWidget*>("Picture2")->geometry().bottom() + 1;
        const int width = f.clientArea()->width(), height = f.clientArea()->height();
        const QRect title = control<QLabel>(f, "Picture1")->geometry();
        EXPECT_NEAR(title.left(), width - 1 - title.right(), 1);
        EXPECT_NEAR(title.top() - stripBottom, height - 1 - title.bottom(), 1);
        startGame();
        ASSERT_TRUE(control<QLabel>(f, "Label3")->isVisible());

        // The widest texts each value label shows in a game.
        const std::pair<QLabel*, const char*> values[] = {{control<QLabel>(f, "Label2"), "Min.13 - Sec.59"}, {control<QLabel>(f, "Label3"), "-1.234.567"},
                                                          {control<QLabel>(f, "Label7"), "3"}, {control<QLabel>(f, "Label8"), "10"}};
        for (const auto& [label, text] : values)
            EXPECT_EQ(clipped(label, QString::fromLatin1(text)), "");
        for (QLabel* label : control<QWidget>(f, "Picture2")->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (label != control<QLabel>(f, "Label2") && label != control<QLabel>(f, "Label3")) {
                EXPECT_EQ(clipped(label, label->text()), "");
            }

        // The dictionary chooser shows each language whole; the word list its
        // title, and a ten-letter word of the widest letters.
        QStyleOptionComboBox option;
        option.initFrom(control<QComboBox>(f, "Combo1"));
        option.frame = true;
        const QRect field = control<QComboBox>(f, "Combo1")->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, control<QComboBox>(f, "Combo1"));
        for (const char* language : {"Italiano", "English", "Latino"})
            EXPECT_LE(QFontMetricsF(control<QComboBox>(f, "Combo1")->font()).horizontalAdvance(language), field.width()) << language;
        EXPECT_LE(QFontMetricsF(control<QGroupBox>(f, "Frame3d1")->font()).horizontalAdvance(control<QGroupBox>(f, "Frame3d1")->title()), control<QGroupBox>(f, "Frame3d1")->width() - 16);
        EXPECT_EQ(clipped(control<QLabel>(f, "Label1_0"), QStringLiteral("MMMMMMMMMM")), "");
        EXPECT_LE(control<QLabel>(f, "Label1_0")->geometry().right(), control<QGroupBox>(f, "Frame3d1")->width());
        EXPECT_LE(control<QLabel>(f, "Label1_19")->geometry().bottom(), control<QGroupBox>(f, "Frame3d1")->height());

        // Nothing of the strip covers anything else of it, and all of it lies in the strip.
        QList<QWidget*> strip;
        for (QWidget* w : control<QWidget>(f, "Picture2")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisible()) {
                strip << w;
                EXPECT_TRUE(control<QWidget>(f, "Picture2")->rect().contains(w->geometry())) << name(w);
            }
        EXPECT_EQ(strip.size(), 14);
        EXPECT_EQ(overlaps(strip), std::vector<std::string>{});
        // Nor does the grid reach under the word list; the height decides its
        // cells on these screens, and its frame stays between the strip and the window's bottom.
        const GameState& s = f.state();
        EXPECT_LE(s.MarginX + s.GridCols * s.CellSize, control<QGroupBox>(f, "Frame3d1")->x());
        EXPECT_GE(s.MarginY - 3, stripBottom);
        EXPECT_LE(s.MarginY + s.GridRows * s.CellSize + 3, height);
        // It stands in the middle of the room the strip and the list leave it.
        EXPECT_NEAR(s.MarginX, control<QGroupBox>(f, "Frame3d1")->x() - (s.MarginX + s.GridCols * s.CellSize), 1);
        EXPECT_NEAR(s.MarginY - stripBottom, height - (s.MarginY + s.GridRows * s.CellSize), 1);
        form.reset();
    }
}

TEST(FittedRects, GrowFromTheirAnchorAndPushOthersClear)
{
    // A caption needing 30 x 20 in a 20 x 10 box, a right-aligned one needing
    // 40 in 30, and a control the first one, grown, now covers.
    const std::vector<QRect> placed = fittedRects({{QRect(0, 0, 20, 10), QSize(30, 20)},
        {QRect(100, 0, 30, 10), QSize(40, 10), true}, {QRect(25, 15, 10, 10), QSize(5, 5)}});
    EXPECT_EQ(placed, (std::vector<QRect>{QRect(0, 0, 30, 20), QRect(90, 0, 40, 10), QRect(30, 15, 10, 10)}));
}
