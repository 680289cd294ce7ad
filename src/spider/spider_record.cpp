#include "spider/spider_record.h"

#include "app/form1.h"
#include "app/url_encoding.h"
#include "files/text_file_reader.h"
#include "net/blocking_fetch.h"

#include <QList>

namespace tarnwick {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLinkStart = QStringLiteral("<a href=\"");
const QString kLinkEnd = QStringLiteral("</a>");

/// `url` goes in already encoded, so it cannot end the attribute or open a tag.
QString link(const QString& url, const QString& text)
{
    return kLinkStart + url + QStringLiteral("\" target=\"_blank\" rel=\"nofollow\">") + text + kLinkEnd;
}

QString bold(const QString& text)
{
    return QStringLiteral("<b>") + text + QStringLiteral("</b>");
}

bool titled(RecordForm form)
{
    return form != RecordForm::PlainDescription && form != RecordForm::DescriptionLinked;
}

/// The address a link line starts with; empty when it starts with no link.
QString hrefOf(QStringView line)
{
    if (!line.startsWith(kLinkStart))
        return {};
    const qsizetype end = line.indexOf(QLatin1Char('"'), kLinkStart.size());
    return end < 0 ? QString() : line.mid(kLinkStart.size(), end - kLinkStart.size()).toString();
}

/// The fields where the block's form puts them. Nothing is checked here: the record written
/// back from them must give the block, which rules out every other shape.
SavedRecord fieldsOf(const QList<QStringView>& lines)
{
    SavedRecord r;
    if (lines.size() == 2) {
        r.description = lines[0].toString();
        r.form
            = lines[1].startsWith(kLinkStart) ? RecordForm::DescriptionLinked : RecordForm::PlainDescription;
        r.url = r.form == RecordForm::DescriptionLinked ? hrefOf(lines[1]) : lines[1].toString();
        return r;
    }
    r.description = lines[1].toString();
    const QStringView first = lines[0];
    // "<b>" and "</b>" cannot overlap, so a line with both holds at least their seven characters.
    if (!first.startsWith(QLatin1String("<b>")) || !first.endsWith(QLatin1String("</b>"))) {
        r.form = RecordForm::Plain;
        r.title = first.toString();
        r.url = lines[2].toString();
        return r;
    }
    const QStringView inner = first.mid(3, first.size() - 7);
    if (inner.startsWith(kLinkStart)) {
        r.form = RecordForm::TitleLinked;
        r.url = hrefOf(inner);
        // The encoded address holds no ">", so the first one ends the link's opening tag. A tag
        // never closed, or a title without its "</a>", gives a record that does not write back.
        const qsizetype text = inner.indexOf(QLatin1Char('>')) + 1;
        r.title = inner.mid(text, inner.size() - kLinkEnd.size() - text).toString();
        return r;
    }
    r.title = inner.toString();
    r.form = lines[2].startsWith(kLinkStart) ? RecordForm::UrlLinked : RecordForm::Bold;
    r.url = r.form == RecordForm::UrlLinked ? hrefOf(lines[2]) : lines[2].toString();
    return r;
}

bool isRecord(const SavedRecord& r, const QList<QStringView>& lines)
{
    if ((titled(r.form) && r.title.isEmpty()) || r.title.contains(QLatin1Char('<'))
        || r.description.contains(QLatin1Char('<')) || r.url.isEmpty() || percentEncodedUrl(r.url) != r.url)
        return false;
    const QString scheme = requestUrl(r.url).scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false;
    QString block;
    for (const QStringView line : lines) {
        block += line;
        block += kCrLf;
    }
    return spiderRecord(r.form, r.title, r.description, r.url) == block + kCrLf;
}

} // namespace

QString spiderRecord(RecordForm form, const QString& title, const QString& desc, const QString& url)
{
    const QString end = kCrLf + kCrLf;
    switch (form) {
    case RecordForm::Plain: return title + kCrLf + desc + kCrLf + url + end;
    case RecordForm::PlainDescription: return desc + kCrLf + url + end;
    case RecordForm::Bold: return bold(title) + kCrLf + desc + kCrLf + url + end;
    case RecordForm::UrlLinked: return bold(title) + kCrLf + desc + kCrLf + link(url, url) + end;
    case RecordForm::TitleLinked: return bold(link(url, title)) + kCrLf + desc + kCrLf + url + end;
    case RecordForm::DescriptionLinked: return desc + kCrLf + link(url, url) + end;
    }
    return {};
}

QString spiderRecords(const Form1& f, const QString& title, const QString& desc, const QString& listedUrl)
{
    return spiderRecords(
        f, f.Check3.Value() != 0 ? CreatePages::Yes : CreatePages::No, title, desc, listedUrl);
}

QString spiderRecords(
    const Form1& f, CreatePages pages, const QString& title, const QString& desc, const QString& listedUrl)
{
    // The list may hold anything a file or a result page put there; records and the pages
    // built from them only ever see the encoded form.
    const QString url = percentEncodedUrl(listedUrl);
    const bool withPages = pages == CreatePages::Yes;
    QString out;
    if (f.Check4.Value() != 0) {
        const RecordForm form = !withPages ? RecordForm::Plain
            : f.Option1.Value()            ? RecordForm::TitleLinked
            : f.Option2.Value()            ? RecordForm::UrlLinked
                                           : RecordForm::Bold;
        out += spiderRecord(form, title, desc, url);
    }
    if (f.Check5.Value() != 0) {
        const RecordForm form = !withPages ? RecordForm::PlainDescription
            : f.Option2.Value()            ? RecordForm::DescriptionLinked
                                           : RecordForm::Bold;
        out += spiderRecord(form, title, desc, url);
    }
    return out;
}

SpiderDataReading readSpiderData(QStringView text)
{
    SpiderDataReading reading;
    LineSplitter lines(text);
    QList<QStringView> block;
    qsizetype blocks = 0;
    for (bool more = true; more;) {
        QStringView line;
        more = lines.next(line);
        if (more && !line.trimmed().isEmpty()) {
            block.append(line);
            continue;
        }
        if (block.isEmpty())
            continue;
        ++blocks;
        SavedRecord record;
        if (block.size() < 2 || block.size() > 3 || !isRecord(record = fieldsOf(block), block)) {
            reading.records.clear();
            reading.badBlock = blocks;
            return reading;
        }
        reading.records.push_back(std::move(record));
        block.clear();
    }
    return reading;
}

} // namespace tarnwick
