#pragma once

#include <QString>

namespace tarnwick {

/// What the three placeholders of a template stand for on one page.
struct TemplateValues {
    QString title; // "!@@!"
    QString heading; // "!%%!"
    QString results; // "!##!"
};

/// The template with every placeholder replaced by its value. Only the template's own text
/// is searched: a value that holds a placeholder (a page titled "!##!") is written as it is.
QString fillTemplate(const QString& tmpl, const TemplateValues& values);

} // namespace tarnwick
