#include "support/shown_window.h"

#include <QRegularExpression>
#include <QScreen>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Resizable = test::ShownWindow;

TEST(MainWindowResize, ColumnsKeepTheirSharesAndTheListsTakeTheSpace)
{
    struct Case {
        const char* name;
        QSize window; // asked for; empty keeps the opening size
    };
    const Case cases[] = {
        { "as opened", {} },
        { "smaller than it opens", { 300, 200 } },
        { "wider", { 1400, 0 } },
        { "taller", { 0, 900 } },
        { "full-HD screen", { 1920, 1030 } },
    };
    Resizable first;
    // It opens at the twips' size and proportions, grown evenly where the fonts need more room.
    const QSize opening = first.window.centralWidget()->size();
    ASSERT_GE(
        opening.width(), qRound(11910 * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440));
    ASSERT_NEAR(opening.width() / double(opening.height()), 11910.0 / 7785, 0.01);
    const double perTwip = opening.width() / 11910.0;
    const Form1& f0 = first.f;
    const QRect list0 = first.rectOf(f0.List1), keywords0 = first.rectOf(f0.List2),
                data0 = first.rectOf(f0.RichTextBox1), agent0 = first.rectOf(f0.Text4),
                disclaimer0 = first.rectOf(f0.Frame8);

    for (const Case& c : cases) {
        Resizable w;
        const Form1& f = w.f;
        if (c.window.width() || c.window.height()) {
            w.window.resize(c.window.width() ? c.window.width() : w.window.width(),
                c.window.height() ? c.window.height() : w.window.height());
            QApplication::processEvents();
        }
        const QSize client = w.window.centralWidget()->size();
        EXPECT_GE(client.width(), opening.width()) << c.name;
        EXPECT_GE(client.height(), opening.height()) << c.name;
        const int taller = client.height() - opening.height();

        // Three columns in the shares of their twips, top and bottom margins kept.
        struct Column {
            const Control* frame;
            int left, right;
        };
        for (const Column& col : { Column { &f.Frame1, 120, 3615 }, Column { &f.Frame2, 3720, 7605 },
                 Column { &f.Frame4, 7680, 11775 } }) {
            const QRect r = w.rectOf(*col.frame);
            EXPECT_NEAR(r.left(), col.left / 11910.0 * client.width(), 1.5)
                << c.name << ' ' << col.frame->name();
            EXPECT_NEAR(r.right() + 1, col.right / 11910.0 * client.width(), 1.5)
                << c.name << ' ' << col.frame->name();
            EXPECT_NEAR(r.top(), 120 * perTwip, 1) << c.name << ' ' << col.frame->name();
            EXPECT_NEAR(client.height() - r.bottom() - 1, 90 * perTwip, 1.5)
                << c.name << ' ' << col.frame->name();
        }
        // The lists and the spider data pane take all the extra height; fields the extra width.
        EXPECT_NEAR(w.rectOf(f.List1).height() - list0.height(), taller, 2) << c.name;
        EXPECT_NEAR(w.rectOf(f.List2).height() - keywords0.height(), taller, 2) << c.name;
        EXPECT_NEAR(w.rectOf(f.RichTextBox1).height() - data0.height(), taller, 2) << c.name;
        EXPECT_NEAR(w.rectOf(f.Text4).width() - agent0.width(),
            w.rectOf(f.Frame4).width() - first.rectOf(f0.Frame4).width(), 2)
            << c.name;
        // The disclaimer keeps its size and stays over the meeting point of the left columns.
        const QRect disclaimer = w.rectOf(f.Frame8);
        EXPECT_EQ(disclaimer.size(), disclaimer0.size()) << c.name;
        auto meeting = [](const Resizable& r) {
            return (r.rectOf(r.f.Frame1).right() + r.rectOf(r.f.Frame2).left()) / 2;
        };
        EXPECT_NEAR(meeting(w) - disclaimer.left(), meeting(first) - disclaimer0.left(), 1) << c.name;

        // Every shown control lies whole inside its parent, at no less than the size it needs,
        // and covers no other control except those it holds.
        static const QRegularExpression controlName(
            QStringLiteral("^(Text|Label|List|Combo|Check|Option|Command|Frame|RichTextBox)\\d+$"));
        std::vector<std::pair<const QWidget*, QRect>> shown;
        for (QWidget* widget : w.window.centralWidget()->findChildren<QWidget*>()) {
            if (!controlName.match(widget->objectName()).hasMatch() || !widget->isVisible())
                continue;
            const QString name = widget->objectName();
            const QRect inParent = widget->geometry();
            EXPECT_TRUE(widget->parentWidget()->rect().contains(inParent))
                << c.name << ' ' << name.toStdString() << " is cut off by its panel";
            const QSize needs = widget->minimumSizeHint();
            EXPECT_GE(widget->width(), needs.width()) << c.name << ' ' << name.toStdString();
            EXPECT_GE(widget->height(), needs.height()) << c.name << ' ' << name.toStdString();
            shown.push_back(
                { widget, QRect(widget->mapTo(w.window.centralWidget(), QPoint(0, 0)), widget->size()) });
        }
        for (std::size_t i = 0; i < shown.size(); ++i) {
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                const QWidget* a = shown[i].first;
                const QWidget* b = shown[j].first;
                if (a->isAncestorOf(b) || b->isAncestorOf(a))
                    continue;
                EXPECT_FALSE(shown[i].second.intersects(shown[j].second))
                    << c.name << ' ' << a->objectName().toStdString() << " overlaps "
                    << b->objectName().toStdString();
            }
        }
    }
}

} // namespace
} // namespace tarnwick
