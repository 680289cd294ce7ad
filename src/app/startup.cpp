#include "app/startup.h"

#include "app/form1.h"
#include "app/maker.h"

#include <QStringList>

namespace tarnwick {

namespace {

const char* const kCountries[] = { "United States", "United Kingdom", "Germany", "Spain", "France", "Italy",
    "Japan", "Korea", "Netherlands" };
const char* const kTimeouts[]
    = { "5", "10", "15", "20", "25", "30", "40", "50", "60", "70", "80", "90", "100" };
const char* const kParallel[]
    = { "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "16" };
const char* const kRetries[] = { "0", "1", "2", "3", "4", "5" };
const char* const kPerPage[]
    = { "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20", "25", "30", "40", "50" };
const char* const kFonts[] = { "Default Font", "Arial, Helvetica, sans-serif",
    "Times New Roman, Times, serif", "Courier New, Courier, mono", "Georgia, Times New Roman, Times, serif",
    "Verdana, Arial, Helvetica, sans-serif", "Geneva, Arial, Helvetica, san-serif", "Courier New" };
const char* const kSizes[] = { "None", "1", "2", "3", "4", "5", "6", "7", "+1", "+2", "+3", "+4", "+5", "+6",
    "+7", "-1", "-2", "-3", "-4", "-5", "-6", "-7" };
const char* const kAnchors[] = { "keyword web pages", "free site builder", "search term tools",
    "keyword research", "build pages fast", "site builder tools", "keyword page generator",
    "web page templates", "search engine pages", "keyword spider", "free keyword tools",
    "site maps made easy", "page builder software", "keyword focused pages", "web site promotion" };

const char* const kDisclaimer[] = { "DISCLAIMER:", "Use of Tarnwick is", "entirely at your own risk.",
    "Its author will not be held", "responsible for any", "consequences of its use,", "known or unknown,",
    "now or in the future.", "Use it wisely." };

template <typename Box, std::size_t N> void addAll(Box& box, const char* const (&items)[N])
{
    for (const char* item : items)
        box.AddItem(QString::fromUtf8(item));
}

} // namespace

QString defaultTemplate()
{
    const QStringList lines = { "<html>", "<head>", "<title>!@@!</title>", "</head>", "", "<body>", "",
        "<h1>!%%!</h1>", "", "", "", "!##!", "", "", "", "</body>", "</html>" };
    return lines.join(QStringLiteral("\r\n"));
}

void Form_Load(Form1& f)
{
    // The window cannot be closed except through Quit; the window layer ignores close requests.
    f.Frame8.setVisible(false);
    addAll(f.Combo1, kCountries);
    addAll(f.Combo2, kTimeouts);
    addAll(f.Combo3, kPerPage);
    addAll(f.Combo8, kParallel);
    addAll(f.Combo10, kParallel);
    addAll(f.Combo9, kRetries);
    addAll(f.Combo6, kFonts);
    addAll(f.Combo7, kSizes);
    f.List6.AddItem(kMakerSite);
    addAll(f.List6, kAnchors);
    f.RichTextBox2.setText(defaultTemplate());
    QString disclaimer;
    for (const char* line : kDisclaimer)
        disclaimer += QString::fromUtf8(line) + QStringLiteral("\r\n");
    f.Text16.setText(disclaimer);
    f.Text4.setText(QStringLiteral("Tarnwick/1.0 (+") + kMakerSite + QStringLiteral(")"));
    f.Text6.setText(kMakerSite);
    f.Frame5.setVisible(false);
}

} // namespace tarnwick
