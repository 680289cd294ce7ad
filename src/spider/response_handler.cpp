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

/// Reads the whole body. A page refused at its first piece (empty, or a server error) gives
/// only that piece, and the request is cancelled once its last events have run. A window
/// unloaded meanwhile stops the reading; what it gives then is refused all the same.
QString readBody(Form1& f, Platform& p, TransferControl& inet)
{
    QString piece = inet.GetChunk(1024, 0);
    if (refusedAtFirstPiece(piece)) {
        // Cancel, without asking again before it.
        while (inet.StillExecuting() && p.DoEvents())
            inet.Cancel();
        return piece;
    }
    QString body;
    while (!piece.isEmpty()) {
        if (!p.DoEvents())
            return {};
        body += piece;
        piece = inet.GetChunk(10024, 0);
    }
    f.setCaption(QStringLiteral("Tarnwick"));
    return body;
}

void processResponse(Form1& f, Platform& p, TransferControl& inet)
{
    const QString body = readBody(f, p, inet);
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
    if (const QString progress = stateText(state); !progress.isEmpty()) {
        f.setCaption(QStringLiteral("Tarnwick - ") + progress);
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
