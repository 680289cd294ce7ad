#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class ComboBox;
class ListBox;
class Platform;

/// The first entry after `start` (-1: from the top), wrapping round, that equals `text`
/// (exact) or begins with it, ignoring case; -1 when none. Pumps events and refreshes first.
int FindListEntry(Platform& p, const ListBox& list, const QString& text, bool exact, int start);
int FindListEntry(Platform& p, const ComboBox& combo, const QString& text, bool exact, int start);
/// The search itself, without the pump, by a scan (combo boxes hold a handful of entries).
int findEntry(const QStringList& items, const QString& text, bool exact, int start);

} // namespace tarnwick
