#include "app/url_encoding.h"

#include <QUrl>

namespace tarnwick {

namespace {

bool mustEncode(char16_t c)
{
    // C0 controls, the space, DEL and the C1 controls that terminals also act on.
    if (c <= 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    switch (c) {
    case u'"':
    case u'<':
    case u'>':
    case u'\\':
    case u'^':
    case u'`':
    case u'{':
    case u'|':
    case u'}': return true;
    default: return false;
    }
}

} // namespace

QString percentEncodedUrl(const QString& url)
{
    static const char kHex[] = "0123456789ABCDEF";
    QString out;
    for (const QChar ch : url) {
        if (!mustEncode(ch.unicode())) {
            out += ch;
            continue;
        }
        for (const char byte : QString(ch).toUtf8()) {
            const auto b = static_cast<unsigned char>(byte);
            out += QLatin1Char('%');
            out += QLatin1Char(kHex[b >> 4]);
            out += QLatin1Char(kHex[b & 0x0F]);
        }
    }
    return out;
}

QString percentEncodedFileName(const QString& name)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(name, "!$'()*+,;=:@"));
}

} // namespace tarnwick
