#include "harvest/find_list_entry.h"

#include "app/list_box.h"
#include "app/platform.h"

namespace tarnwick {

int findEntry(const QStringList& items, const QString& text, bool exact, int start)
{
    const int n = static_cast<int>(items.size());
    if (n == 0)
        return -1;
    const int first = (start < 0 || start >= n - 1) ? 0 : start + 1;
    if (!exact && text.isEmpty())
        return first;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        const QString& item = items[i];
        const bool hit = exact ? item.compare(text, Qt::CaseInsensitive) == 0
                               : item.startsWith(text, Qt::CaseInsensitive);
        if (hit)
            return i;
    }
    return -1;
}

int FindListEntry(Platform& p, const ListBox& list, const QString& text, bool exact, int start)
{
    // The window may have gone meanwhile; the search on the data is still safe.
    (void)p.DoEvents();
    // The URL list holds up to 30000 entries and the harvest asks once per link: no scan.
    return list.findItem(text, exact, start);
}

} // namespace tarnwick
