#include "spider/journal_format.h"

#include <array>
#include <optional>

namespace tarnwick {

namespace {

const char kMagic[] = "tarnwick-journal";
const char kEntryKind[] = "url";
constexpr int kEntryFields = 13;

std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table {};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

quint32 crc32(const char* data, qsizetype size)
{
    static const std::array<quint32, 256> table = makeCrcTable();
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        c = table[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray checkOf(const QByteArray& body)
{
    return QByteArray::number(crc32(body.constData(), body.size()), 16).rightJustified(8, '0');
}

void appendEscaped(QByteArray& out, const QString& field)
{
    const QByteArray bytes = field.toUtf8();
    for (const char c : bytes) {
        switch (c) {
        case '%': out += "%25"; break;
        case '\t': out += "%09"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out += c;
        }
    }
}

std::optional<QString> unescape(const QByteArray& field)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            bytes += field[i];
            continue;
        }
        bool ok = false;
        const int value = field.mid(i + 1, 2).toInt(&ok, 16);
        if (!ok || i + 2 >= field.size())
            return std::nullopt;
        bytes += static_cast<char>(value);
        i += 2;
    }
    return QString::fromUtf8(bytes);
}

QByteArray line(const QStringList& fields)
{
    QByteArray body;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            body += '\t';
        appendEscaped(body, fields.at(i));
    }
    return sealedLine(body);
}

/// The fields of one line (without its LF); none when its check does not match.
std::optional<QStringList> fieldsOf(const QByteArray& raw)
{
    const qsizetype tab = raw.lastIndexOf('\t');
    if (tab < 0)
        return std::nullopt;
    const QByteArray body = raw.left(tab);
    if (raw.mid(tab + 1) != checkOf(body))
        return std::nullopt;
    QStringList fields;
    for (const QByteArray& field : body.split('\t')) {
        std::optional<QString> text = unescape(field);
        if (!text)
            return std::nullopt;
        fields.append(std::move(*text));
    }
    return fields;
}

QString joined(const QStringList& items)
{
    return items.join(QLatin1Char('\n'));
}

QStringList splitItems(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QString valueOf(const QList<QPair<QString, QString>>& pairs, const QString& name)
{
    for (const auto& [key, value] : pairs) {
        if (key == name)
            return value;
    }
    return {};
}

bool readHeader(const QByteArray& raw, JournalHeader& header, QString& error)
{
    const QList<QByteArray> parts = raw.split('\t');
    if (parts.size() < 3 || parts.at(0) != kMagic) {
        error = QStringLiteral("it is not a Tarnwick run journal");
        return false;
    }
    if (parts.at(1) != QByteArray::number(kJournalVersion)) {
        error = QStringLiteral("it was written by another version of Tarnwick (journal version %1, this one "
                               "reads version %2)")
                    .arg(QString::fromUtf8(parts.at(1).left(20)))
                    .arg(kJournalVersion);
        return false;
    }
    const std::optional<QStringList> fields = fieldsOf(raw);
    if (!fields) {
        error = QStringLiteral("its first line does not read back");
        return false;
    }
    for (qsizetype i = 2; i < fields->size(); ++i) {
        const QString& field = fields->at(i);
        const qsizetype equals = field.indexOf(QLatin1Char('='));
        const QString key = field.left(equals);
        const QString value = field.mid(equals + 1);
        // Every field is a name, "=" and a value; no name is empty.
        if (equals <= 0) {
            error = QStringLiteral("its first line does not read back");
            return false;
        }
        if (key == QLatin1String("started"))
            header.started = QDateTime::fromString(value, Qt::ISODateWithMs);
        else if (key == QLatin1String("list"))
            header.listFile = value;
        else if (key == QLatin1String("home"))
            header.home = value;
        else if (key == QLatin1String("urls"))
            header.urls = splitItems(value);
        else if (key.startsWith(QLatin1String("set.")))
            header.settings.append({ key.mid(4), value });
        else if (key.startsWith(QLatin1String("x.")))
            header.extras.append({ key.mid(2), value });
    }
    if (!header.started.isValid() || header.home.isEmpty() || header.urls.isEmpty()) {
        error = QStringLiteral("its first line does not read back");
        return false;
    }
    return true;
}

bool readEntry(const QStringList& fields, int previous, int total, JournalEntry& entry)
{
    if (fields.size() != kEntryFields || fields.at(0) != QLatin1String(kEntryKind))
        return false;
    bool ok = false;
    bool outcomeOk = false;
    bool retriesOk = false;
    entry.outcome.position = fields.at(1).toInt(&ok);
    const int outcome = fields.at(3).toInt(&outcomeOk);
    entry.outcome.retries = fields.at(12).toInt(&retriesOk);
    // Entries come in list order, one per position at most.
    if (!ok || !outcomeOk || !retriesOk || entry.outcome.position <= previous
        || entry.outcome.position > total || outcome < static_cast<int>(Outcome::Accepted)
        || outcome > static_cast<int>(kLastOutcome) || entry.outcome.retries < 0)
        return false;
    const QString& data = fields.at(8);
    if (!data.startsWith(QLatin1Char('+')) && !data.startsWith(QLatin1Char('=')))
        return false;
    entry.outcome.url = fields.at(2);
    entry.outcome.outcome = static_cast<Outcome>(outcome);
    entry.outcome.reason = fields.at(4);
    entry.added = fields.at(5);
    entry.counter = fields.at(6);
    entry.pageTitle = fields.at(7);
    entry.data.kind
        = data.startsWith(QLatin1Char('+')) ? TextChange::Kind::Appended : TextChange::Kind::Replaced;
    entry.data.text = data.mid(1);
    entry.links = fields.at(9);
    entry.accepted = splitItems(fields.at(10));
    entry.pageFiles = splitItems(fields.at(11));
    return true;
}

} // namespace

QString JournalHeader::setting(const QString& name) const
{
    return valueOf(settings, name);
}

QString JournalHeader::extra(const QString& name) const
{
    return valueOf(extras, name);
}

QByteArray headerLine(const JournalHeader& header)
{
    QStringList fields { QLatin1String(kMagic), QString::number(kJournalVersion),
        QStringLiteral("started=") + header.started.toUTC().toString(Qt::ISODateWithMs),
        QStringLiteral("list=") + header.listFile, QStringLiteral("home=") + header.home,
        QStringLiteral("urls=") + joined(header.urls) };
    for (const auto& [name, value] : header.settings)
        fields.append(QStringLiteral("set.") + name + QLatin1Char('=') + value);
    for (const auto& [name, value] : header.extras)
        fields.append(QStringLiteral("x.") + name + QLatin1Char('=') + value);
    return line(fields);
}

QByteArray entryLine(const JournalEntry& entry)
{
    const QChar change = entry.data.kind == TextChange::Kind::Appended ? QLatin1Char('+') : QLatin1Char('=');
    return line({ QLatin1String(kEntryKind), QString::number(entry.outcome.position), entry.outcome.url,
        QString::number(static_cast<int>(entry.outcome.outcome)), entry.outcome.reason, entry.added,
        entry.counter, entry.pageTitle, change + entry.data.text, entry.links, joined(entry.accepted),
        joined(entry.pageFiles), QString::number(entry.outcome.retries) });
}

QByteArray sealedLine(const QByteArray& body)
{
    return body + '\t' + checkOf(body) + '\n';
}

JournalReading readJournal(const QByteArray& bytes)
{
    JournalReading reading;
    JournalContents& contents = reading.contents;
    qsizetype end = bytes.indexOf('\n');
    if (end < 0) {
        reading.error = bytes.isEmpty() ? QStringLiteral("it is empty") : QStringLiteral("it was cut off");
        return reading;
    }
    if (!readHeader(bytes.left(end), contents.header, reading.error)) {
        reading.contents = {};
        return reading;
    }
    const int total = static_cast<int>(contents.header.urls.size());
    qsizetype start = end + 1;
    while (start < bytes.size()) {
        end = bytes.indexOf('\n', start);
        // The last line lacks its end: the run was killed while writing it.
        if (end < 0)
            break;
        const std::optional<QStringList> fields = fieldsOf(bytes.mid(start, end - start));
        JournalEntry entry;
        const bool read = fields && readEntry(*fields, contents.nextIndex(), total, entry);
        if (!read) {
            if (end + 1 == bytes.size())
                break;
            reading.error
                = QStringLiteral("its entry %1 does not read back").arg(contents.entries.size() + 1);
            reading.contents = {};
            return reading;
        }
        contents.entries.push_back(std::move(entry));
        start = end + 1;
    }
    contents.wholeBytes = start;
    return reading;
}

} // namespace tarnwick
