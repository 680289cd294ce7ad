#include "listtools/consolidation.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"

namespace tarnwick {

void markStopPoint(Form1& f, int index)
{
    f.Text19.setText(numText(index + 1));
    f.stopPointLayout = f.List1.layoutRevision();
}

void clearStopPoint(Form1& f)
{
    f.Text19.setText({});
}

void Command6_Click(Form1& f, Platform& p)
{
    // The randomiser works on positions of the URL list; refilling it meanwhile would
    // leave those positions pointing past the end.
    if (f.activity == Activity::Randomise)
        return;
    if (f.Text19.Text().isEmpty()) {
        p.MsgBox(QStringLiteral("Nothing to consolidate: there is no stopped spider run to go on from."));
        return;
    }
    // Entries opened, shuffled, deleted or cleared since the stop are not the ones it counted.
    if (f.List1.layoutRevision() != f.stopPointLayout) {
        p.MsgBox(QStringLiteral("Nothing to consolidate: the URL list has changed since the spider run "
                                "stopped."));
        return;
    }
    const int stop = static_cast<int>(Val(f.Text19.Text())) - 1;
    clearStopPoint(f);

    f.List7.replaceAll(f.List1.items().mid(stop + 1));

    // Nothing pumps events in between, so the list is replaced at once and the count caption
    // shows its final value; an emptied list or a count of 0 could not be seen.
    QStringList merged = f.List5.items();
    merged.append(f.List7.items());
    f.List1.replaceAll(std::move(merged));
    f.Label1.setCaption(QString::number(f.List1.ListCount()));

    f.List7.Clear();
    f.List5.Clear();
}

} // namespace tarnwick
