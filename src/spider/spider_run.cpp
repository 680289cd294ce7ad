#include "spider/spider_run.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "net/draining.h"
#include "pages/sitemap.h"
#include "spider/spider_checks.h"

#include <QFileInfo>

namespace tarnwick {

namespace {

QString failedFilesText(const Form1& f)
{
    return f.failedFiles.join(QStringLiteral(", "));
}

void setTimeout(Form1& f)
{
    f.Inet1->setRequestTimeout(static_cast<int>(roundHalfEven(Val(f.Combo2.Text()))));
}

void stopRun(Form1& f, Platform& p)
{
    p.MsgBox(f.failedFiles.isEmpty()
            ? QStringLiteral("Stopped!")
            : QStringLiteral("Stopped! These files could not be written: ") + failedFilesText(f));
    f.setCaption(QStringLiteral("Tarnwick"));
    if (f.Inet1->StillExecuting())
        f.Inet1->Cancel();
}

void completeRun(Form1& f, Platform& p)
{
    if (f.Inet1->StillExecuting())
        f.Inet1->Cancel();
    f.List1.replaceAll(f.List5.items());
    f.Label1.setCaption(numText(f.List1.ListCount()));
    f.List5.Clear();
    if (f.Check3.Value() != 0 && !f.Text15.Text().isEmpty()) {
        createsitemap(f, p);
        if (p.unloaded())
            return;
    }
    p.MsgBox(f.failedFiles.isEmpty()
            ? QStringLiteral("Run completed! Tarnwick list of sites spidered!")
            : QStringLiteral("Run completed, but these files could not be written: ") + failedFilesText(f));
    f.setCaption(QStringLiteral("Tarnwick"));
}

} // namespace

bool DirExists(const QString& dirPath)
{
    return !dirPath.isEmpty() && QFileInfo(dirPath).isDir();
}

void Command3_Click(Form1& f, Platform& p)
{
    if (f.activity != Activity::None)
        return;
    ActivityScope scope(f, Activity::Spider);
    if (!checkSpiderInputs(f, p))
        return;

    f.failedFiles.clear();
    f.List5.Clear();
    f.List7.Clear();
    f.Label10.setCaption(QStringLiteral("0"));
    f.Label15.setCaption(QStringLiteral("0"));
    if (!drainTransfer(*f.Inet1, p))
        return;
    setTimeout(f);
    f.Label3.setCaption(QStringLiteral("1"));
    f.Text13.setText(QStringLiteral("0"));
    f.Text14.setText({});
    f.RichTextBox1.setText({});

    const int count = f.List1.ListCount();
    for (int i = 0; i < count; ++i) {
        f.Label15.setCaption(numText(i + 1));
        f.Text13.setText(numText(i + 1));
        // The list may have been changed from inside an event pass; a missing entry is skipped.
        if (i < f.List1.ListCount()) {
            f.List1.setListIndex(i);
            f.Text7.setText(f.List1.List(i));
            setTimeout(f);
            f.Inet1->Execute(f.List1.List(i), QStringLiteral("GET"), QString(),
                QStringLiteral("\r\n\r\nReferer: ") + f.Text6.Text() + QStringLiteral("\r\nUser-Agent: ")
                    + f.Text4.Text());
            while (f.Inet1->StillExecuting()) {
                if (!p.waitForEvents(100))
                    return;
            }
        }
        if (f.Label3.Caption() == QLatin1String("0")) {
            stopRun(f, p);
            return;
        }
    }
    completeRun(f, p);
}

} // namespace tarnwick
