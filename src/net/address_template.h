#pragma once

#include <QString>

namespace tarnwick {

/// The values an OpenSearch-style address template may ask for.
struct TemplateValues {
    QString searchTerms; ///< as typed; percent-encoded when filled in
    QString language; ///< "en", "de"
    QString country; ///< "us", "de"
    QString region; ///< "us-en", "de-de"
    int page = 1; ///< {startPage}, counting from 1
};

/// `addressTemplate` with every {searchTerms}, {language}, {country}, {region} and
/// {startPage} (also written with a trailing "?", as optional parameters are) replaced by
/// its percent-encoded value. Any other {name} becomes empty, so nothing of the template's
/// own syntax reaches the service.
QString fillAddressTemplate(const QString& addressTemplate, const TemplateValues& values);

/// True when `text` is an http or https address template that takes {searchTerms}.
bool isAddressTemplate(const QString& text);

/// An instance's own address ("http://host:port", a path allowed, no query) without its
/// trailing slashes, so a service path can follow it; empty for anything else.
QString instanceBase(const QString& text);

} // namespace tarnwick
