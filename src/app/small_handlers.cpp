#include "app/small_handlers.h"

#include "app/about.h"
#include "app/form1.h"
#include "app/platform.h"

#include <QUrl>

namespace tarnwick {

void mnuShowSpider_Click(Form1& f)
{
    if (f.Frame4.Visible())
        return;
    f.Frame5.setVisible(false);
    f.Frame4.setVisible(true);
}

void mnuShowTemplate_Click(Form1& f)
{
    if (f.Frame5.Visible())
        return;
    f.Frame4.setVisible(false);
    f.Frame5.setVisible(true);
}

void mnuDisclaimer_Click(Form1& f)
{
    f.Frame8.setVisible(true);
}

void Command7_Click(Form1& f)
{
    f.Frame8.setVisible(false);
}

void mnuGoToHelp_Click(Form1&, Platform& p)
{
    const QString manual = manualPath();
    if (manual.isEmpty()) {
        p.MsgBox(QStringLiteral("The manual, README.md, was found neither beside the program, nor as %1, "
                                "nor in the folder the program was built from.")
                     .arg(installedManualPath()));
        return;
    }
    if (!p.openWebAddress(QUrl::fromLocalFile(manual).toString()))
        p.MsgBox(QStringLiteral("No program to show the manual could be started. The manual is the file %1.")
                     .arg(manual));
}

void mnuStopAll_Click(Form1& f)
{
    f.Label3.setCaption(QStringLiteral("0"));
}

QString whatQuitLoses(const Form1& f)
{
    switch (f.activity) {
    case Activity::Spider: return QStringLiteral("the spider run in progress");
    case Activity::Harvest: return QStringLiteral("the harvest in progress");
    case Activity::Lookup: return QStringLiteral("the keyword lookup in progress");
    case Activity::Randomise: return QStringLiteral("the randomiser in progress");
    case Activity::Publish: return QStringLiteral("the pages being written");
    case Activity::None: break;
    }
    return f.spiderDataUnsaved() ? QStringLiteral("the spider data not yet saved") : QString();
}

void mnuQuit_Click(Form1& f, Platform& p)
{
    if (const QString loses = whatQuitLoses(f);
        !loses.isEmpty() && !p.askYesNo(QStringLiteral("Quit and lose %1?").arg(loses)))
        return;
    if (f.Inet1->StillExecuting())
        f.Inet1->Cancel();
    p.Unload();
}

void List1_DblClick(Form1& f)
{
    // The randomiser works on positions; deleting one under it would scramble the wrong entries.
    if (f.activity == Activity::Randomise)
        return;
    const int count = f.List1.ListCount();
    for (int i = count - 1; i >= 0; --i) {
        if (f.List1.Selected(i))
            f.List1.RemoveItem(i);
        f.Label1.setCaption(QString::number(f.List1.ListCount()));
    }
}

} // namespace tarnwick
