#include "listtools/consolidation.h"

#include "app/form1.h"
#include "app/platform.h"

namespace tarnwick {

void Command6_Click(Form1& f)
{
    // The randomiser works on positions of the URL list; refilling it meanwhile would
    // leave those positions pointing past the end.
    if (f.activity == Activity::Randomise)
        return;
    const int stop = f.List1.ListIndex();
    if (stop < 0)
        return;

    f.List7.replaceAll(f.List1.items().mid(stop + 1));
    f.List1.Clear();
    f.Label1.setCaption(QStringLiteral("0"));

    // Nothing pumps events in between, so the list is filled at once and the count caption
    // shows its final value; the steps in between could not be seen.
    QStringList merged = f.List5.items();
    merged.append(f.List7.items());
    f.List1.replaceAll(std::move(merged));
    f.Label1.setCaption(QString::number(f.List1.ListCount()));

    f.List7.Clear();
    f.List5.Clear();
}

} // namespace tarnwick
