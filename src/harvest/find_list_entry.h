#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class ListBox;
class Platform;

/// The first entry after `start` (-1: from the top), wrapping round, that equals `text`
/// (exact) or begins with it, ignoring case; -1 when none. Pumps events first.
int FindListEntry(Platform& p, const ListBox& list, const QString& text, bool exact, int start);
/// The same search by a scan, for the tests of the list's index.
int findEntry(const QStringList& items, const QString& text, bool exact, int start);

} // namespace tarnwick
