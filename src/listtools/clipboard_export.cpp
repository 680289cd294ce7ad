#include "listtools/clipboard_export.h"

#include "app/form1.h"
#include "app/platform.h"

#include <QStringList>

namespace tarnwick {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
// Stands for a line end inside a record while the text is cut into rows.
const QChar kFieldMark(0x00AC);

/// A spreadsheet opening the CSV runs a cell that begins with one of these as a formula
/// (or, for tab and CR, after dropping them), so a page titled "=HYPERLINK(...)" would
/// become a live link or command.
bool startsLikeFormula(QStringView field)
{
    if (field.isEmpty())
        return false;
    switch (field.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r': return true;
    default: return false;
    }
}

} // namespace

QString spiderDataToCsv(const QString& spiderData)
{
    QString marked = spiderData;
    marked.replace(kCrLf, QString(kFieldMark));
    marked.replace(QString(kFieldMark) + kFieldMark, kCrLf);

    QString output;
    for (const QStringView rowView : QStringView(marked).split(kCrLf)) {
        if (rowView.isEmpty())
            continue;
        QString row = rowView.toString();
        row.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        const QList<QStringView> fields = QStringView(row).split(kFieldMark);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QStringView field = fields.at(i);
            const bool quoted = field.contains(QLatin1Char('"')) || field.contains(QLatin1Char(','));
            if (quoted)
                output += QLatin1Char('"');
            // The apostrophe makes the cell text; only the CSV form gets it.
            if (startsLikeFormula(field))
                output += QLatin1Char('\'');
            output += field;
            if (quoted)
                output += QLatin1Char('"');
            output += i + 1 < fields.size() ? QStringView(u",") : QStringView(kCrLf);
        }
    }
    return output;
}

void Command5_Click(Form1& f, Platform& p)
{
    const QString& data = f.RichTextBox1.Text();
    if (data.isEmpty()) {
        p.MsgBox(QStringLiteral("No spider data!"));
        return;
    }
    QString text;
    if (f.Check7.Value() != 0)
        text = spiderDataToCsv(data);
    else if (f.Check3.Value() != 0)
        text = QString(data).replace(kCrLf, QStringLiteral("<br>"));
    else
        text = data;
    p.setClipboardText(text);
    p.MsgBox(QStringLiteral("Added to clipboard!"));
}

} // namespace tarnwick
