#include "listtools/clipboard_export.h"

#include "app/form1.h"
#include "app/platform.h"

#include <QStringList>

namespace tarnwick {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
// Stands for a line end inside a record while the text is cut into rows.
const QChar kFieldMark(0x00AC);

} // namespace

QString spiderDataToCsv(const QString& spiderData)
{
    QString marked = spiderData;
    marked.replace(kCrLf, QString(kFieldMark));
    marked.replace(QString(kFieldMark) + kFieldMark, kCrLf);

    QString output;
    output.reserve(spiderData.size() + spiderData.size() / 8);
    for (const QStringView rowView : QStringView(marked).split(kCrLf)) {
        if (rowView.isEmpty())
            continue;
        QString row = rowView.toString();
        row.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        const QList<QStringView> fields = QStringView(row).split(kFieldMark);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QStringView field = fields.at(i);
            if (field.contains(QLatin1Char('"')) || field.contains(QLatin1Char(','))) {
                output += QLatin1Char('"');
                output += field;
                output += QLatin1Char('"');
            } else {
                output += field;
            }
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
