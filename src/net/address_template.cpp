#include "net/address_template.h"

#include <QRegularExpression>
#include <QUrl>

namespace tarnwick {

namespace {

QString encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString fillAddressTemplate(const QString& addressTemplate, const TemplateValues& values)
{
    static const QRegularExpression placeholder(QStringLiteral(R"(\{([A-Za-z:]+)\??\})"));
    QString filled;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(addressTemplate)) {
        filled += addressTemplate.mid(from, match.capturedStart() - from);
        const QString name = match.captured(1);
        if (name == QLatin1String("searchTerms"))
            filled += encoded(values.searchTerms);
        else if (name == QLatin1String("language"))
            filled += encoded(values.language);
        else if (name == QLatin1String("country"))
            filled += encoded(values.country);
        else if (name == QLatin1String("region"))
            filled += encoded(values.region);
        else if (name == QLatin1String("startPage"))
            filled += QString::number(values.page);
        from = match.capturedEnd();
    }
    return filled + addressTemplate.mid(from);
}

bool isAddressTemplate(const QString& text)
{
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    return text.contains(QLatin1String("{searchTerms}")) && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString instanceBase(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QUrl base(trimmed);
    const QString scheme = base.scheme().toLower();
    if (base.host().isEmpty() || !base.query().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    QString address = trimmed;
    while (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

} // namespace tarnwick
