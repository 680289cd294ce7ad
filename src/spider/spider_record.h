#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace tarnwick {

class Form1;

/// Whether records are made for results pages (with their markup) or for the data alone.
enum class CreatePages { No, Yes };

/// The spider record(s) of one accepted page, chosen by the create-pages box, the two
/// record boxes and the link options. The URL is written percent-encoded (percentEncodedUrl).
QString spiderRecords(const Form1& f, const QString& title, const QString& desc, const QString& listedUrl);
/// The same with pages on or off whatever the create-pages box says.
QString spiderRecords(
    const Form1& f, CreatePages pages, const QString& title, const QString& desc, const QString& listedUrl);

/// The shapes a record takes in spider data. LINK(X) is X linked to the URL.
enum class RecordForm {
    Plain, ///< TITLE, DESC, URL: a run without pages
    PlainDescription, ///< DESC, URL: a run without pages, "Description only:"
    Bold, ///< <b>TITLE</b>, DESC, URL
    UrlLinked, ///< <b>TITLE</b>, DESC, LINK(URL)
    TitleLinked, ///< <b>LINK(TITLE)</b>, DESC, URL
    DescriptionLinked, ///< DESC, LINK(URL)
};

/// One record read back from spider data.
struct SavedRecord {
    RecordForm form = RecordForm::Plain;
    QString title; ///< empty in the two description-only forms, which hold none
    QString description;
    QString url; ///< as written: percent-encoded
    /// True for the forms a run without pages writes; the others are ready for a page.
    bool plain() const { return form == RecordForm::Plain || form == RecordForm::PlainDescription; }
};

/// The record of `form` for these fields, ended by its empty line; `url` is taken as written.
QString spiderRecord(RecordForm form, const QString& title, const QString& desc, const QString& url);

/// What reading spider data found: every record in order, or the first block that is none.
struct SpiderDataReading {
    std::vector<SavedRecord> records;
    /// The 1-based number of the first block of lines that is not a record; 0 when all are.
    qsizetype badBlock = 0;
};

/// Reads spider data as the pane holds it after Open Spider Data: lines ended by CR LF (a
/// lone LF or CR ends one too), each record its fields one a line, records parted by one
/// empty line or more (a saved file ends in several; files joined with cat add more at
/// their seams). A block is a record only when writing its fields back in its form gives
/// its lines exactly, its title and description hold no "<" (the spider keeps none) and
/// its URL, written encoded, is one the spider fetches (http or https, or a bare host that
/// it asks over http). So a file edited by hand can put no markup and no other kind of
/// link into a page: such a block, or text that is not spider data, is named instead.
SpiderDataReading readSpiderData(QStringView text);

} // namespace tarnwick
