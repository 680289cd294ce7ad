#include "spider/response_handler.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "pages/results_page.h"
#include "spider/page_reading.h"
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

/// Reads the whole body. A page refused at its first piece (empty, or a server error) gives
/// only that piece, and the request is cancelled. `alive` turns false when the window was
/// unloaded.
QString readBody(Form1& f, Platform& p, TransferControl& inet, bool& alive)
{
    QString piece = inet.GetChunk(1024, 0);
    if (refusedAtFirstPiece(piece)) {
        alive = drainRejected(inet, p);
        return piece;
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

void processResponse(Form1& f, Platform& p, TransferControl& inet)
{
    bool alive = true;
    const QString body = readBody(f, p, inet, alive);
    if (!alive)
        return;
    const PageReading page = readPage(body, [&f](const QString& title) { return keepsTitle(f, title); });
    f.pageVerdict = page.verdict;
    if (page.verdict != PageVerdict::Accepted)
        return;
    const QString& title = page.title;

    const QString url = f.Text7.Text();
    f.Label10.setCaption(numText(static_cast<qint64>(Val(f.Label10.Caption())) + 1));
    f.RichTextBox1.appendText(spiderRecords(f, title, page.description, url));
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
