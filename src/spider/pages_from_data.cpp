#include "spider/pages_from_data.h"

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "spider/spider_checks.h"
#include "spider/spider_record.h"

namespace tarnwick {

namespace {

/// The record as a run with pages would have appended it to the spider data.
PageRecord pageRecord(const Form1& f, const SavedRecord& r)
{
    if (!r.plain())
        return { spiderRecord(r.form, r.title, r.description, r.url), r.title };
    if (r.form == RecordForm::Plain)
        return { spiderRecords(f, CreatePages::Yes, r.title, r.description, r.url), r.title };
    // No title to show or to link: the description and its link, if any record is wanted.
    const bool wanted = f.Check4.Value() != 0 || f.Check5.Value() != 0;
    return { wanted ? spiderRecord(RecordForm::DescriptionLinked, {}, r.description, r.url) : QString(), {} };
}

Publishing refuse(Platform& p, const QString& message)
{
    p.MsgBox(message);
    return Publishing::Refused;
}

} // namespace

Publishing publishSpiderData(Form1& f, Platform& p, const QString& data)
{
    // A run fills the same folder names and messages; one long command at a time.
    if (f.activity != Activity::None)
        return Publishing::Refused;
    const SpiderDataReading reading = readSpiderData(data);
    if (reading.badBlock > 0)
        return refuse(p,
            QStringLiteral("Record %1 of the spider data is not a spider record (a title, a description and "
                           "a web address, one to a line, and an empty line after them)! No pages made.")
                .arg(reading.badBlock));
    if (reading.records.empty())
        return refuse(p, QStringLiteral("No spider data to make pages from!"));
    // A run also refuses more than its URL list holds; here a last, shorter page takes what
    // is left, so any whole number from 1 will do.
    const std::optional<int> perPage = wholeNumber(f.Combo3.Text());
    if (!perPage || *perPage < 1) {
        refuse(p, QStringLiteral("Results per page must be a whole number from 1 up!"));
        f.SetFocus(f.Combo3);
        return Publishing::Refused;
    }
    if (!checkPageSettings(f, p))
        return Publishing::Refused;

    std::vector<PageRecord> records;
    for (const SavedRecord& record : reading.records)
        records.push_back(pageRecord(f, record));
    return writePageSet(f, p, records, *perPage);
}

void mnuCreatePages_Click(Form1& f, Platform& p)
{
    publishSpiderData(f, p, f.RichTextBox1.Text());
}

} // namespace tarnwick
