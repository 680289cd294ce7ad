#include "spider/title_filter.h"

#include "app/form1.h"
#include "app/text_ops.h"

namespace tarnwick {

namespace {

bool occurs(const QString& title, const QString& word)
{
    return containsNoCase(title, trimSpaces(word));
}

} // namespace

int theflag(Form1& f)
{
    const QString filter = f.Text5.Text();
    const QString title = f.Text17.Text();
    int flag = 0;

    // A hyphen inside a word ("e-books") is text to look for; only " -" starts the exclusions.
    QString need;
    QString refuse;
    if (filter.contains(QStringLiteral(" -"))) {
        const QStringList parts = filter.split(QStringLiteral(" -"));
        need = trimSpaces(parts.at(0));
        refuse = trimSpaces(parts.at(1));
    } else {
        need = trimSpaces(filter);
    }

    if (!need.isEmpty()) {
        if (need.contains(QLatin1Char(','))) {
            const QStringList words = need.split(QLatin1Char(','));
            if (f.Check8.Value() == 0) {
                for (const QString& word : words) {
                    if (!occurs(title, word)) {
                        flag = 0;
                        break;
                    }
                    flag = 1;
                }
            } else {
                for (const QString& word : words) {
                    if (occurs(title, word))
                        flag = 1;
                }
            }
        } else if (occurs(title, need)) {
            flag = 1;
        }
    }

    if (!refuse.isEmpty()) {
        if (refuse.contains(QLatin1Char(','))) {
            for (const QString& word : refuse.split(QLatin1Char(','))) {
                if (occurs(title, word))
                    flag = 0;
            }
        } else if (occurs(title, refuse)) {
            flag = 0;
        }
    }

    f.Text17.setText({});
    return flag;
}

bool keepsTitle(Form1& f, const QString& title)
{
    const QString filter = f.Text5.Text();
    if (filter.isEmpty())
        return false;
    // The window offers " " as the filter that returns all titles; a title without an ASCII
    // space (every Chinese or Japanese one) must pass it too.
    if (trimSpaces(filter).isEmpty())
        return true;
    if (filter.contains(QLatin1Char('-')) || filter.contains(QLatin1Char(','))) {
        f.Text17.setText(title);
        return theflag(f) == 1;
    }
    return containsNoCase(title, filter);
}

} // namespace tarnwick
