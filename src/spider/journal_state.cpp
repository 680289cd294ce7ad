#include "spider/journal_state.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/state_folder.h"

#include <functional>

namespace tarnwick {

namespace {

struct SettingRow {
    const char* name;
    std::function<QString(const Form1&)> read;
    std::function<void(Form1&, const QString&)> write;
};

template <typename Control> SettingRow textRow(const char* name, Control Form1::*member)
{
    return { name, [member](const Form1& f) { return (f.*member).Text(); },
        [member](Form1& f, const QString& value) { (f.*member).setText(value); } };
}

SettingRow checkRow(const char* name, CheckBox Form1::*member)
{
    return { name, [member](const Form1& f) { return QString::number((f.*member).Value()); },
        [member](Form1& f, const QString& value) { (f.*member).setValue(value.toInt()); } };
}

SettingRow optionRow(const char* name, OptionButton Form1::*member)
{
    return { name, [member](const Form1& f) { return QString::number((f.*member).Value() ? 1 : 0); },
        [member](Form1& f, const QString& value) {
            if (value == QLatin1String("1"))
                (f.*member).setValue(true);
        } };
}

// Every control a run reads besides the URL list, in the order they are put back: the record
// options last and in this order, since setting them runs the window's interlocks.
const std::vector<SettingRow>& settingRows()
{
    static const std::vector<SettingRow> rows {
        textRow("Text4", &Form1::Text4),
        textRow("Text6", &Form1::Text6),
        textRow("Combo2", &Form1::Combo2),
        textRow("Combo8", &Form1::Combo8),
        textRow("Combo10", &Form1::Combo10),
        textRow("Combo9", &Form1::Combo9),
        checkRow("Check9", &Form1::Check9),
        textRow("Text5", &Form1::Text5),
        checkRow("Check8", &Form1::Check8),
        checkRow("Check3", &Form1::Check3),
        textRow("Combo3", &Form1::Combo3),
        textRow("Text8", &Form1::Text8),
        textRow("Text9", &Form1::Text9),
        textRow("Text10", &Form1::Text10),
        textRow("Text11", &Form1::Text11),
        textRow("Text18", &Form1::Text18),
        textRow("Combo6", &Form1::Combo6),
        textRow("Combo7", &Form1::Combo7),
        checkRow("Check6", &Form1::Check6),
        textRow("RichTextBox2", &Form1::RichTextBox2),
        { "List6", [](const Form1& f) { return f.List6.items().join(QLatin1Char('\n')); },
            [](Form1& f, const QString& value) { f.List6.replaceAll(value.split(QLatin1Char('\n'))); } },
        checkRow("Check4", &Form1::Check4),
        checkRow("Check5", &Form1::Check5),
        optionRow("Option1", &Form1::Option1),
        optionRow("Option2", &Form1::Option2),
    };
    return rows;
}

} // namespace

JournalHeader journalHeader(const Form1& f, Platform& p)
{
    JournalHeader header;
    header.started = f.runStarted.isValid() ? f.runStarted : p.now();
    header.listFile = f.CDialog2.FileName;
    header.home = p.programFolder();
    header.urls = f.List1.items();
    for (const SettingRow& row : settingRows())
        header.settings.append({ QLatin1String(row.name), row.read(f) });
    for (auto it = f.journalExtras.cbegin(); it != f.journalExtras.cend(); ++it)
        header.extras.append({ it.key(), it.value() });
    return header;
}

void restoreSettings(Form1& f, const JournalHeader& header)
{
    f.List1.replaceAll(header.urls);
    f.Label1.setCaption(QString::number(f.List1.ListCount()));
    for (const SettingRow& row : settingRows()) {
        for (const auto& [name, value] : header.settings) {
            if (name == QLatin1String(row.name))
                row.write(f, value);
        }
    }
    // The extras stay in the journal, which a resumed run goes on writing; in the window they
    // would pass into the journal of the next run.
}

void replayEntries(Form1& f, const std::vector<JournalEntry>& entries)
{
    if (entries.empty())
        return;
    // Gathered here and set once: a long run's spider data or links would be copied per URL.
    QString data = f.RichTextBox1.Text();
    QString links = f.Text15.Text();
    QStringList accepted = f.List5.items();
    for (const JournalEntry& entry : entries) {
        if (entry.data.kind == TextChange::Kind::Replaced)
            data = entry.data.text;
        else
            data += entry.data.text;
        links += entry.links;
        accepted += entry.accepted;
        f.pageFiles += entry.pageFiles;
        f.runReport.add(entry.outcome);
    }
    const JournalEntry& last = entries.back();
    f.Label10.setCaption(last.added);
    f.Text12.setText(last.counter);
    f.Text14.setText(last.pageTitle);
    f.RichTextBox1.setText(data);
    f.RichTextBox1.setSelStart(static_cast<int>(data.size()));
    f.Text15.setText(links);
    f.List5.replaceAll(accepted);
}

RunRecorder::RunRecorder(Form1& f, Platform& p, std::unique_ptr<RunJournal> journal)
    : f_(f)
    , p_(p)
    , journal_(std::move(journal))
{
    mark();
    f_.runJournal = this;
}

RunRecorder::~RunRecorder()
{
    f_.runJournal = nullptr;
    if (journal_)
        journal_->remove();
}

void RunRecorder::mark()
{
    dataSize_ = f_.RichTextBox1.Text().size();
    linksSize_ = f_.Text15.Text().size();
    acceptedCount_ = f_.List5.ListCount();
    pageFilesCount_ = f_.pageFiles.size();
}

void RunRecorder::record(const UrlOutcome& outcome)
{
    if (!journal_)
        return;
    JournalEntry entry;
    entry.outcome = outcome;
    entry.added = f_.Label10.Caption();
    entry.counter = f_.Text12.Text();
    entry.pageTitle = f_.Text14.Text();
    // During a run the spider data only grows, or is emptied when a page is written.
    const QString& data = f_.RichTextBox1.Text();
    if (data.size() >= dataSize_)
        entry.data = { TextChange::Kind::Appended, data.mid(dataSize_) };
    else
        entry.data = { TextChange::Kind::Replaced, data };
    entry.links = f_.Text15.Text().mid(linksSize_);
    entry.accepted = f_.List5.items().mid(acceptedCount_);
    entry.pageFiles = f_.pageFiles.mid(pageFilesCount_);
    if (const QString failure = journal_->append(entry); !failure.isEmpty()) {
        journal_->remove();
        journal_.reset();
        p_.MsgBox(QStringLiteral("The run goes on, but can no longer be resumed after a crash: ") + failure);
        return;
    }
    mark();
}

std::unique_ptr<RunRecorder> startJournal(Form1& f, Platform& p)
{
    if (f.journaling == RunJournaling::Off)
        return nullptr;
    QString error;
    std::unique_ptr<RunJournal> journal = RunJournal::create(stateFolder(), journalHeader(f, p), p, error);
    if (!journal) {
        p.MsgBox(QStringLiteral("The run journal could not be written (%1), so this run cannot be resumed if "
                                "it is interrupted.")
                     .arg(error));
        return nullptr;
    }
    return std::make_unique<RunRecorder>(f, p, std::move(journal));
}

} // namespace tarnwick
