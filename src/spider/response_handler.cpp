#include "spider/response_handler.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "pages/results_page.h"
#include "spider/spider_record.h"
#include "spider/title_filter.h"

namespace tarnwick {

namespace {

/// Lets the request's last events run and cancels it, without asking again before Cancel.
/// False when the window was unloaded meanwhile.
bool drainRejected(TransferControl& inet, Platform& p)
{
    while (inet.StillExecuting()) {
        if (!p.DoEvents())
            return false;
        inet.Cancel();
    }
    return true;
}

/// Reads the whole body; empty when the page is refused (empty, or a server error in its
/// first piece). `alive` turns false when the window was unloaded.
QString readBody(Form1& f, Platform& p, TransferControl& inet, bool& alive)
{
    QString piece = inet.GetChunk(1024, 0);
    if (piece.isEmpty() || containsNoCase(piece, QStringLiteral("internal server error"))
        || piece.contains(QStringLiteral("500"))) {
        alive = drainRejected(inet, p);
        return {};
    }
    QString body;
    while (!piece.isEmpty()) {
        if (!p.DoEvents()) {
            alive = false;
            return {};
        }
        body += piece;
        piece = inet.GetChunk(10024, 0);
    }
    f.setCaption(QStringLiteral("Tarnwick"));
    return body;
}

bool titleAccepted(Form1& f, const QString& title)
{
    const bool qualifies = !containsNoCase(title, QStringLiteral("language=\"javascript\""))
        && title.size() > 5 && !title.contains(QLatin1Char('<'));
    const QString filter = f.Text5.Text();
    if (!qualifies || filter.isEmpty())
        return false;
    if (filter.contains(QLatin1Char('-')) || filter.contains(QLatin1Char(','))) {
        f.Text17.setText(title);
        return theflag(f) == 1;
    }
    return containsNoCase(title, filter);
}

void processResponse(Form1& f, Platform& p, TransferControl& inet)
{
    bool alive = true;
    const QString body = readBody(f, p, inet, alive);
    if (!alive || body.isEmpty())
        return;
    if (!containsNoCase(body, QStringLiteral("</title>")) || !containsNoCase(body, QStringLiteral("<body"))
        || !containsNoCase(body, QStringLiteral("<meta name=\"description\" content=\"")))
        return;

    const QString head = body.left(indexOfNoCase(body, QStringLiteral("<body")));
    const QString title = cleanCutText(cutTitle(head));
    if (!titleAccepted(f, title))
        return;

    const QString rawDesc = cutDescription(head);
    if (rawDesc.contains(QLatin1Char('>')) || rawDesc.size() <= 5)
        return;
    // The cleaning can turn "&lt;" into "<": such a description would put markup in the pages.
    const QString desc = cleanCutText(rawDesc);
    if (desc.contains(QLatin1Char('<')))
        return;

    const QString url = f.Text7.Text();
    f.Label10.setCaption(numText(static_cast<qint64>(Val(f.Label10.Caption())) + 1));
    f.RichTextBox1.appendText(spiderRecords(f, title, desc, url));
    f.RichTextBox1.setSelStart(static_cast<int>(f.RichTextBox1.Text().size()));
    f.List5.AddItem(url);

    if (f.Check3.Value() == 0)
        return;
    f.Text12.setText(numText(static_cast<qint64>(Val(f.Text12.Text())) + 1));
    if (Val(f.Text12.Text()) == 1)
        f.Text14.setText(title);
    if (!(Val(f.Combo3.Text()) > Val(f.Text12.Text())) && !(Val(f.Text13.Text()) > f.List1.ListCount())) {
        f.Text12.setText(QStringLiteral("0"));
        if (!p.DoEvents())
            return;
        createpage(f, p);
    }
}

} // namespace

void Inet1_StateChanged(Form1& f, Platform& p, int state)
{
    Inet1_StateChanged(f, p, *f.Inet1, state);
}

void Inet1_StateChanged(Form1& f, Platform& p, TransferControl& source, int state)
{
    if (state >= TransferControl::icHostResolvingHost && state <= TransferControl::icDisconnected) {
        f.setCaption(QStringLiteral("Tarnwick - ") + stateText(state));
    } else if (state == TransferControl::icError) {
        f.setCaption(QStringLiteral("Tarnwick - Error ") + QString::number(source.ResponseCode())
            + QLatin1Char(' ') + source.ResponseInfo());
    } else if (state == TransferControl::icResponseCompleted) {
        processResponse(f, p, source);
    }
}

void attachResponseHandler(Form1& f, Platform& p)
{
    f.Inet1->StateChanged = [&f, &p](int state) { Inet1_StateChanged(f, p, state); };
}

} // namespace tarnwick
