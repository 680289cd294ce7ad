#pragma once

#include <QString>
#include <QStringList>

#include "net/blocking_fetch.h"

namespace tarnwick {

/// What a suggestion service answered: its completions in rank order, or the one message
/// that says why there are none to read.
struct Suggestions {
    QStringList completions;
    QString refusal;
};

/// Reads an OpenSearch suggestions answer (application/x-suggestions+json): an array whose
/// element 0 is the query and element 1 the completions; further elements are ignored.
/// Completions are cleaned of control characters and runs of white space; empty ones and
/// ones that are not text are left out. `address` and `silentHint` go into the messages.
Suggestions readOpenSearchSuggestions(
    const FetchResult& result, const QString& address, const QString& silentHint);

} // namespace tarnwick
