#pragma once

#include <QString>

namespace tarnwick {

class Form1;

enum class SourceKind { Keywords, Results };

/// Sets the keyword or the result source from a name of its table, an instance address or an
/// address template, as --source takes them, and the captions that depend on it. Returns the
/// message for a choice that names no source; nothing changes then.
QString chooseSource(Form1& f, SourceKind kind, const QString& choice);

/// Label5 says what the country box does for the keyword source chosen: the classic
/// service's own caption, or what the box now chooses.
void showSourceCaptions(Form1& f);

/// Whether the chosen keyword source reads the country box (Combo1).
bool countryBoxUsed(const Form1& f);
/// Whether the chosen result source reads the "Google UK:" box (Check2): only the classic one.
bool ukBoxUsed(const Form1& f);

/// The choice as the menu names it when it is none of the table's rows; empty otherwise.
QString otherSource(const Form1& f, SourceKind kind);

} // namespace tarnwick
