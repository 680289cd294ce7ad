// The run journal as a crash, a full disk or a hand may leave it. Read as a journal, any bytes are refused
// whole, the file left as it was, or read up to their last whole entry, the file cut there, never half an
// entry. Read as the values of a run, the same bytes become a journal that reads back identically.
#include "fuzz_support.h"

#include "spider/run_journal.h"

#include <QFile>

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>
#include <tuple>

namespace {

using namespace tarnwick;

QByteArray written(const JournalContents& contents)
{
    QByteArray bytes = headerLine(contents.header);
    for (const JournalEntry& entry : contents.entries)
        bytes += entryLine(entry);
    return bytes;
}

void readAsJournal(fuzz::Harness& h, const QByteArray& bytes)
{
    const JournalReading reading = readJournal(bytes);
    const JournalContents& got = reading.contents;
    QString error;
    const QString path = fuzz::writeScratch(h.folder, bytes);
    const bool opened = RunJournal::open(path, h.platform, error) != nullptr;
    QFile file(path);
    const QByteArray kept = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (opened != reading.ok() || kept != (reading.ok() ? bytes.left(got.wholeBytes) : bytes))
        __builtin_trap();
    if (!reading.ok()) {
        if (!got.entries.empty() || !got.header.urls.isEmpty())
            __builtin_trap();
        return;
    }
    // Only a last line, cut or damaged, is left out; what was read, rewritten, and the cut file read alike.
    const qsizetype lineEnd = bytes.indexOf('\n', got.wholeBytes);
    const QByteArray again = written(got);
    if (!kept.endsWith('\n') || (lineEnd >= 0 && lineEnd != bytes.size() - 1)
        || written(readJournal(kept).contents) != again || written(readJournal(again).contents) != again)
        __builtin_trap();
}

// Any text in every field, list entries on one line each, positions in list order.
void writeAndReadBack(FuzzedDataProvider& in)
{
    const auto text = [&in] { return QString::fromStdString(in.ConsumeRandomLengthString(48)); };
    const auto items = [&](int most) {
        QStringList list;
        for (int n = in.ConsumeIntegralInRange(0, most); n > 0; --n)
            list.append(u'u' + text().remove(u'\n'));
        return list;
    };
    JournalContents run;
    JournalHeader& header = run.header;
    // Any moment from 1970 to the end of year 9999.
    header.started
        = QDateTime::fromMSecsSinceEpoch(in.ConsumeIntegralInRange<qint64>(0, 253402300799999), Qt::UTC);
    header.listFile = text();
    header.home = u'h' + text();
    header.urls = items(8) << QStringLiteral("u");
    for (const char* name : { "Text4", "Text5", "RichTextBox2" })
        header.settings.append({ QLatin1String(name), text() });
    header.extras.append({ QStringLiteral("-o"), text() });
    for (int position = in.ConsumeIntegralInRange(1, 3);
         position <= header.urls.size() && in.remaining_bytes() > 0;
         position += in.ConsumeIntegralInRange(1, 3)) {
        JournalEntry entry;
        entry.outcome = { position, text(),
            static_cast<Outcome>(in.ConsumeIntegralInRange(0, static_cast<int>(kLastOutcome))), text(),
            in.ConsumeIntegralInRange(0, 5) };
        entry.added = text();
        entry.counter = text();
        entry.pageTitle = text();
        entry.data = { in.ConsumeBool() ? TextChange::Kind::Appended : TextChange::Kind::Replaced, text() };
        entry.links = text();
        entry.accepted = items(2);
        entry.pageFiles = items(2);
        run.entries.push_back(entry);
    }
    const QByteArray bytes = written(run);
    const JournalContents back = readJournal(bytes).contents;
    const auto headerValues = [](const JournalHeader& h) {
        return std::tie(h.started, h.listFile, h.home, h.urls, h.settings, h.extras);
    };
    const auto entryValues = [](const JournalEntry& e) {
        return std::tie(e.outcome.position, e.outcome.url, e.outcome.outcome, e.outcome.reason,
            e.outcome.retries, e.added, e.counter, e.pageTitle, e.data.kind, e.data.text, e.links, e.accepted,
            e.pageFiles);
    };
    if (back.wholeBytes != bytes.size() || headerValues(back.header) != headerValues(header)
        || !std::equal(back.entries.begin(), back.entries.end(), run.entries.begin(), run.entries.end(),
            [&](const JournalEntry& a, const JournalEntry& b) { return entryValues(a) == entryValues(b); }))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::Harness h;
    readAsJournal(h, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    FuzzedDataProvider in(data, size);
    writeAndReadBack(in);
    return 0;
}
