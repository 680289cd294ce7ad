#include "harvest/url_harvest.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "harvest/find_list_entry.h"
#include "harvest/result_sources.h"
#include "harvest/search_sites.h"
#include "harvest/service_harvest.h"
#include "net/page_link_component.h"

namespace tarnwick {

namespace {

constexpr int kLimit = 30000;
constexpr int kTickMs = 250;
constexpr int kNamesShown = 10;
constexpr int kNameLength = 80;

using Flow = HarvestFlow;

// The result page's links without the search site's own.
QList<LinkRecord> resultLinks(PageLinkComponent& page)
{
    page.ExcludeLinks(1, QStringLiteral("google."), QStringLiteral("google"));
    page.ExcludeLinks(1, QStringLiteral("all"), QStringLiteral("&tab="));
    page.ExcludeLinks(1, QStringLiteral("all"), QStringLiteral("cache:"));
    return page.GetLinks();
}

// One message for every keyword without a search term, named as listed: one box for the lot
// rather than one per keyword, shown before the run asks for anything.
QString emptyTermsMessage(const QStringList& entries)
{
    QStringList names;
    for (const QString& entry : entries.mid(0, kNamesShown))
        names << QLatin1Char('"')
                + (entry.size() > kNameLength ? entry.left(kNameLength) + QStringLiteral("...") : entry)
                + QLatin1Char('"');
    QString list = names.join(QStringLiteral(", "));
    if (entries.size() > kNamesShown)
        list += QStringLiteral(" and %1 more").arg(entries.size() - kNamesShown);
    if (entries.size() == 1)
        return QStringLiteral("The keyword %1 has no search term: it is skipped.").arg(list);
    return QStringLiteral("%1 keywords have no search term and are skipped: %2.")
        .arg(entries.size())
        .arg(list);
}

// The lines the status strip keeps once the harvest has ended, so it says how the harvest
// ended instead of showing its last progress.
QString stoppedSummary(const Form1& f)
{
    return QStringLiteral("Harvest stopped at keyword %1 of %2, page %3: %4 URLs found")
        .arg(f.List2.ListIndex() + 1)
        .arg(f.List2.ListCount())
        .arg(f.progress.harvestPage)
        .arg(f.progress.harvestFound);
}

QString finishedSummary(const Form1& f)
{
    return QStringLiteral("Harvest finished: %1 keywords, %2 URLs found")
        .arg(f.List2.ListCount())
        .arg(f.progress.harvestFound);
}

NextPage nextLinkOf(PageLinkComponent& page)
{
    return page.FindLinkByText(QStringLiteral("Next"), 1).isEmpty() ? NextPage::No : NextPage::Yes;
}

} // namespace

Flow addLinks(Form1& f, Platform& p, const QList<LinkRecord>& links)
{
    for (const LinkRecord& link : links) {
        const QString candidate = f.Check1.Value() == 0 ? siteRoot(link.address) : link.address;
        f.Text3.setText(candidate);
        const int found = FindListEntry(p, f.List1, candidate, false, -1);
        if (p.unloaded())
            return Flow::End;
        if (found == -1 && !candidate.isEmpty()) {
            f.List1.AddItem(trimSpaces(candidate));
            f.Label1.setCaption(numText(f.List1.ListCount()));
            ++f.progress.harvestFound;
            // One page may hold any number of links; the limit holds inside it too.
            if (f.List1.ListCount() > kLimit) {
                p.MsgBox(QStringLiteral("Limit reached!"));
                return Flow::End;
            }
        }
    }
    return Flow::Go;
}

void expectNext(Form1& f, NextPage next)
{
    if (next == NextPage::Yes)
        f.progress.harvestNext = HarvestNext::Page;
    else if (f.List2.ListIndex() + 1 < f.List2.ListCount())
        f.progress.harvestNext = HarvestNext::Keyword;
    else
        f.progress.harvestNext = HarvestNext::Nothing;
}

Flow waitBetweenPages(Form1& f, Platform& p)
{
    const int ticks = waitTicks(p.Rnd());
    for (int t = 0; t < ticks; ++t) {
        p.Sleep(kTickMs);
        f.progress.harvestWaitTicks = ticks - t - 1;
        f.Label4.setBackColor(f.Label4.BackColor() == colour::Red ? colour::Blue : colour::Red);
        if (!p.DoEvents())
            return Flow::End;
        if (f.Label3.Caption() == QLatin1String("0")) {
            // Nothing is coming: no countdown beside the message.
            f.progress.harvestWaitTicks = 0;
            f.labelStatus.setCaption(stoppedSummary(f));
            p.MsgBox(QStringLiteral("Stopped!"));
            f.Label4.setBackColor(colour::ButtonFace);
            return Flow::End;
        }
    }
    return Flow::Go;
}

int waitTicks(double r)
{
    return static_cast<int>((roundHalfEven(10.0 * r) + 5) * 4);
}

void Command1_Click(Form1& f, Platform& p)
{
    // A run started from another run's event pass would interleave both on the same lists.
    if (f.activity != Activity::None)
        return;
    if (f.List2.ListCount() == 0) {
        p.MsgBox(QStringLiteral("No keywords!"));
        return;
    }
    const std::optional<ResultSource> source = resultSourceFor(f.resultSource);
    if (!source) {
        p.MsgBox(unknownResultSource(f.resultSource));
        return;
    }
    ActivityScope scope(f, Activity::Harvest);
    const QString pattern
        = searchPattern(f.Check2.Value() != 0 ? SearchSite::UnitedKingdom : SearchSite::Worldwide)
        + QStringLiteral("&num=100");
    f.Label3.setCaption(QStringLiteral("1"));
    f.progress = {};
    PageLinkComponent page;

    const int count = f.List2.ListCount();
    // An empty term would be asked as "q=", which a service refuses with an error that ends the run.
    QStringList termless;
    for (int i = 0; i < count; ++i)
        if (searchTerm(f.List2.List(i)).isEmpty())
            termless << f.List2.List(i);
    if (!termless.isEmpty())
        p.MsgBox(emptyTermsMessage(termless));
    ResultSource chosen = *source;
    if (chosen.host == ResultHost::PrivateInstance && termless.size() < count
        && reachPrivateInstance(f, p, chosen) == Flow::End)
        return;
    for (int i = 0; i < count && i < f.List2.ListCount(); ++i) {
        f.List2.setListIndex(i);
        f.Text2.setText(searchTerm(f.List2.List(i)));
        if (f.Text2.Text().isEmpty())
            continue;
        int start = 0;
        f.progress.harvestPage = 1;
        if (chosen.read != nullptr) {
            if (harvestFromService(f, p, chosen) == Flow::End)
                return;
        } else if (page.FetchPage(pattern, f.Text2.Text(), 0, 20, 0)) {
            if (addLinks(f, p, resultLinks(page)) == Flow::End)
                return;
            expectNext(f, nextLinkOf(page));
            if (waitBetweenPages(f, p) == Flow::End)
                return;
            // A failed fetch leaves no page, so no "Next" link: the loop cannot repeat forever.
            while (!page.FindLinkByText(QStringLiteral("Next"), 1).isEmpty()) {
                start += 100;
                ++f.progress.harvestPage;
                if (!page.FetchPage(
                        pattern + QStringLiteral("&start=") + numText(start), f.Text2.Text(), 0, 20, 0))
                    continue;
                if (addLinks(f, p, resultLinks(page)) == Flow::End)
                    return;
                expectNext(f, nextLinkOf(page));
                if (waitBetweenPages(f, p) == Flow::End)
                    return;
            }
        }
        if (f.List1.ListCount() > kLimit) {
            p.MsgBox(QStringLiteral("Limit reached!"));
            return;
        }
    }
    f.Label4.setBackColor(colour::ButtonFace);
    f.labelStatus.setCaption(finishedSummary(f));
    p.MsgBox(QStringLiteral("Finished run!"));
}

} // namespace tarnwick
