#include "support/shown_window.h"

#include <QRegularExpression>
#include <QScreen>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Shown = test::ShownWindow;

// The layout was drawn in twips for a client area of 11910 x 7785.
TEST(MainWindowLayout, OpensAtItsTwipsAndColumnsKeepTheirSharesAsTheListsTakeTheSpace)
{
    // An empty size keeps the opening one.
    const std::pair<const char*, QSize> cases[]
        = { { "as opened", {} }, { "smaller than it opens", { 300, 200 } }, { "wider", { 1400, 0 } },
              { "taller", { 0, 900 } }, { "full-HD screen", { 1920, 1030 } } };
    Shown first;
    const Form1& f0 = first.f;
    // It opens at the twips' size and proportions, grown evenly where the fonts need more room.
    const QSize opening = first.window.client()->size();
    ASSERT_GE(opening.width(), qRound(11910 * qGuiApp->primaryScreen()->logicalDotsPerInchX() / 1440));
    ASSERT_NEAR(opening.width() / double(opening.height()), 11910.0 / 7785, 0.01);
    const double perTwip = opening.width() / 11910.0;
    const QRect disclaimer0 = first.rectOf(f0.Frame8);
    // The disclaimer opens over the meeting point of the left columns, from (3480, 0) to (5895, 2655).
    const std::pair<int, int> edges[] = { { disclaimer0.left(), 3480 }, { disclaimer0.top(), 0 },
        { disclaimer0.right() + 1, 5895 }, { disclaimer0.bottom() + 1, 2655 } };
    for (const auto& [pixels, twips] : edges)
        EXPECT_NEAR(pixels, twips * perTwip, 1.5) << twips;
    auto meeting = [](auto& w) { return (w.rectOf(w.f.Frame1).right() + w.rectOf(w.f.Frame2).left()) / 2; };

    for (const auto& [name, size] : cases) {
        SCOPED_TRACE(name);
        Shown w;
        const Form1& f = w.f;
        w.window.resize(size.width() ? size.width() : w.window.width(),
            size.height() ? size.height() : w.window.height());
        QApplication::processEvents();
        const QSize client = w.window.client()->size();
        EXPECT_GE(client.width(), opening.width());
        EXPECT_GE(client.height(), opening.height());

        // Three columns in the shares of their twips, top and bottom margins kept.
        const std::tuple<const Control*, int, int> columns[]
            = { { &f.Frame1, 120, 3615 }, { &f.Frame2, 3720, 7605 }, { &f.Frame4, 7680, 11775 } };
        for (const auto& [frame, left, right] : columns) {
            const QRect r = w.rectOf(*frame);
            EXPECT_NEAR(r.left(), left / 11910.0 * client.width(), 1.5) << frame->name();
            EXPECT_NEAR(r.right() + 1, right / 11910.0 * client.width(), 1.5) << frame->name();
            EXPECT_NEAR(r.top(), 120 * perTwip, 1) << frame->name();
            EXPECT_NEAR(client.height() - r.bottom() - 1, 90 * perTwip, 1.5) << frame->name();
        }
        // The lists and the spider data pane take all the extra height; fields the extra width.
        for (const Control* grows :
            std::initializer_list<const Control*> { &f.List1, &f.List2, &f.RichTextBox1 })
            EXPECT_NEAR(
                w.widget(*grows)->height() - first.window.findChild<QWidget*>(grows->name())->height(),
                client.height() - opening.height(), 2)
                << grows->name();
        EXPECT_NEAR(w.rectOf(f.Text4).width() - first.rectOf(f0.Text4).width(),
            w.rectOf(f.Frame4).width() - first.rectOf(f0.Frame4).width(), 2);
        // The disclaimer keeps its size and stays over the meeting point of the left columns.
        const QRect disclaimer = w.rectOf(f.Frame8);
        EXPECT_EQ(disclaimer.size(), disclaimer0.size());
        EXPECT_NEAR(meeting(w) - disclaimer.left(), meeting(first) - disclaimer0.left(), 1);

        // Each shown control lies whole in its parent, at its needed size, over no control but its own.
        static const QRegularExpression controlName(
            QStringLiteral("^(Text|Label|List|Combo|Check|Option|Command|Frame|RichTextBox)\\d+$"));
        std::vector<std::pair<const QWidget*, QRect>> shown;
        for (QWidget* widget : w.window.client()->findChildren<QWidget*>()) {
            if (!controlName.match(widget->objectName()).hasMatch() || !widget->isVisible())
                continue;
            const std::string name = widget->objectName().toStdString();
            EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()))
                << name << " is cut off by its panel";
            const QSize needs = widget->minimumSizeHint();
            EXPECT_TRUE(widget->width() >= needs.width() && widget->height() >= needs.height()) << name;
            shown.push_back({ widget, QRect(widget->mapTo(w.window.client(), QPoint()), widget->size()) });
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                const auto [a, ra] = shown[i];
                const auto [b, rb] = shown[j];
                EXPECT_TRUE(a->isAncestorOf(b) || b->isAncestorOf(a) || !ra.intersects(rb))
                    << a->objectName().toStdString() << " overlaps " << b->objectName().toStdString();
            }
    }
}

} // namespace
} // namespace tarnwick
