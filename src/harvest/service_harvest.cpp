#include "harvest/service_harvest.h"

#include "app/form1.h"
#include "app/platform.h"
#include "harvest/result_sources.h"
#include "instance/private_instance.h"
#include "net/address_template.h"
#include "net/blocking_fetch.h"
#include "net/page_link_component.h"

namespace tarnwick {

namespace {

constexpr int kTimeoutSeconds = 20;

HarvestFlow endRun(Form1& f, Platform& p, const QString& message)
{
    p.MsgBox(message);
    f.Label4.setBackColor(colour::ButtonFace);
    return HarvestFlow::End;
}

} // namespace

HarvestFlow harvestFromService(Form1& f, Platform& p, const ResultSource& source)
{
    const QString term = f.Text2.Text();
    for (int page = 1; page <= source.pageLimit; ++page) {
        f.progress.harvestPage = page;
        TemplateValues values;
        values.searchTerms = term;
        values.page = page;
        const QString address = fillAddressTemplate(source.addressTemplate, values);
        const FetchResult result = fetchBlocking(QUrl(address), kTimeoutSeconds);
        if (p.unloaded())
            return HarvestFlow::End;
        const ResultPage answer = source.read(result, address, source.silentHint);
        if (!answer.refusal.isEmpty()) {
            // A private instance that died explains the refusal better than the refusal does.
            const QString lost
                = source.host == ResultHost::PrivateInstance ? p.privateInstance().lostMessage() : QString();
            return endRun(f, p, lost.isEmpty() ? answer.refusal : lost);
        }
        // Engines that failed explain an empty page; a page with results stands on its own.
        if (answer.urls.isEmpty() && !answer.failedEngines.isEmpty())
            return endRun(f, p,
                QStringLiteral("No results for \"%1\" (page %2): these search engines did not answer: %3.")
                    .arg(term)
                    .arg(page)
                    .arg(answer.failedEngines.join(QStringLiteral(", "))));

        QList<LinkRecord> links;
        for (const QString& url : answer.urls)
            links.append({ QString(), url });
        const int before = f.List1.ListCount();
        if (addLinks(f, p, links) == HarvestFlow::End)
            return HarvestFlow::End;
        // A page that added nothing new is the keyword's last.
        const bool more = f.List1.ListCount() > before && page < source.pageLimit;
        expectNext(f, more ? NextPage::Yes : NextPage::No);
        if (waitBetweenPages(f, p) == HarvestFlow::End)
            return HarvestFlow::End;
        if (!more)
            break;
    }
    return HarvestFlow::Go;
}

HarvestFlow reachPrivateInstance(Form1& f, Platform& p, ResultSource& source)
{
    PrivateInstance& instance = p.privateInstance();
    // A running instance answers at once, so the strip never shows this for it.
    f.progress.harvestStartingInstance = true;
    const InstanceAnswer answer = instance.address(p, f.Label3);
    f.progress.harvestStartingInstance = false;
    switch (answer.outcome) {
    case InstanceOutcome::Ready: break;
    case InstanceOutcome::Failed: return endRun(f, p, answer.message);
    case InstanceOutcome::Stopped: return endRun(f, p, QStringLiteral("Stopped!"));
    case InstanceOutcome::Unloaded: return HarvestFlow::End;
    }
    source.addressTemplate.replace(QLatin1String("{port}"), QString::number(answer.port));
    source.silentHint = QStringLiteral("The private search instance runs but did not answer; see its log %1.")
                            .arg(instance.setup().logFile);
    return HarvestFlow::Go;
}

} // namespace tarnwick
