#include "spider/spider_checks.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/maker.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "pages/sitemap_xml.h"
#include "spider/run_courtesy.h"
#include "spider/spider_run.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace tarnwick {

namespace {

const QString kBackSlash = QStringLiteral("Don't use back slash (\\)! Enter name, nothing else.");
const QString kForwardSlash = QStringLiteral("Don't use forward slash (/)! Enter name, nothing else.");
const QString kControls = QStringLiteral(
    "Don't use control characters (tabs, line breaks and the like)! Enter name, nothing else.");
const QString kNoExtension = QStringLiteral("\r\nAnd don't add any file extension either (e.g. '.html').");

bool refuse(Platform& p, const QString& message)
{
    p.MsgBox(message);
    return false;
}

bool refuse(Form1& f, Platform& p, const QString& message, const Control& focus)
{
    p.MsgBox(message);
    f.SetFocus(focus);
    return false;
}

/// "." and ".." would put files beside the output folder or name no file at all.
bool isDotName(const QString& name)
{
    return name == QLatin1String(".") || name == QLatin1String("..");
}

/// A control character in a file name is one a terminal or a file manager acts on when it
/// lists the folder; in a header value it can end the header line.
bool hasControlChar(const QString& name)
{
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return true;
    }
    return false;
}

/// Pages are written as the page url name followed by a position, so such a sitemap name,
/// in any letter case, could replace one of them.
bool couldBePageName(const QString& sitemap, const QString& page)
{
    if (sitemap.size() <= page.size() || !sitemap.startsWith(page, Qt::CaseInsensitive))
        return false;
    for (qsizetype i = page.size(); i < sitemap.size(); ++i) {
        if (sitemap.at(i) < QLatin1Char('0') || sitemap.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString dotMessage(const QString& what)
{
    return QStringLiteral("Don't use \".\" or \"..\" as %1! Enter name, nothing else.").arg(what);
}

// A line break in a header value would end the header and start one of the field's making.
QString headerControlMessage(const QString& field)
{
    return QStringLiteral("Don't use control characters (tabs, line breaks and the like) in the %1! "
                          "Enter one line, nothing else.")
        .arg(field);
}

bool templateProblem(Form1& f, Platform& p, const QString& message)
{
    p.MsgBox(message);
    if (!f.Frame5.Visible()) {
        f.Frame4.setVisible(false);
        f.Frame5.setVisible(true);
    }
    return false;
}

bool checkNames(Form1& f, Platform& p)
{
    const QString dir = f.Text8.Text();
    if (dir.isEmpty())
        return refuse(f, p, QStringLiteral("No directory name!"), f.Text8);
    if (dir.contains(QLatin1Char('\\')))
        return refuse(f, p, kBackSlash, f.Text8);
    if (dir.contains(QLatin1Char('/')))
        return refuse(f, p, kForwardSlash, f.Text8);
    if (hasControlChar(dir))
        return refuse(f, p, kControls, f.Text8);
    if (dir.contains(QLatin1Char(' ')))
        return refuse(f, p,
            QStringLiteral(
                "Don't use spaces in directory name, e.g. enter 'creditcards' NOT 'credit cards'."),
            f.Text8);
    if (isDotName(dir))
        return refuse(f, p, dotMessage(QStringLiteral("directory name")), f.Text8);

    const QString page = f.Text9.Text();
    if (page.isEmpty())
        return refuse(f, p,
            QStringLiteral("No page url name! Name must NOT contain spaces OR file extension."), f.Text9);
    if (page.contains(QLatin1Char(' ')))
        return refuse(f, p,
            QStringLiteral("Don't use spaces in name, e.g. enter 'creditcards' NOT 'credit cards'.")
                + kNoExtension,
            f.Text9);
    if (page.contains(QLatin1Char('\\')))
        return refuse(f, p, kBackSlash + kNoExtension, f.Text9);
    if (page.contains(QLatin1Char('/')))
        return refuse(f, p, kForwardSlash + kNoExtension, f.Text9);
    if (hasControlChar(page))
        return refuse(f, p, kControls + kNoExtension, f.Text9);
    if (isDotName(page))
        return refuse(f, p, dotMessage(QStringLiteral("page url name")), f.Text9);

    const QString sitemap = f.Text10.Text();
    if (sitemap.isEmpty())
        return refuse(f, p, QStringLiteral("No sitemap name! Name must NOT contain spaces."), f.Text10);
    if (sitemap.contains(QLatin1Char(' ')))
        return refuse(f, p,
            QStringLiteral("Don't use spaces in sitemap name, e.g. enter 'creditcards' NOT 'credit cards'."),
            f.Text10);
    if (sitemap.contains(QLatin1Char('\\')))
        return refuse(f, p, kBackSlash, f.Text10);
    if (sitemap.contains(QLatin1Char('/')))
        return refuse(f, p, kForwardSlash, f.Text10);
    if (hasControlChar(sitemap))
        return refuse(f, p, kControls, f.Text10);
    if (isDotName(sitemap))
        return refuse(f, p, dotMessage(QStringLiteral("sitemap name")), f.Text10);
    if (couldBePageName(sitemap, page))
        return refuse(f, p,
            QStringLiteral("Sitemap name could be the name of a results page (%1 followed by a number)! "
                           "Choose another name.")
                .arg(page),
            f.Text10);
    return true;
}

bool checkTemplate(Form1& f, Platform& p)
{
    const QString tmpl = f.RichTextBox2.Text();
    if (tmpl.isEmpty())
        return templateProblem(f, p, QStringLiteral("No template loaded!"));
    if (!tmpl.contains(QStringLiteral("!@@!")))
        return templateProblem(f, p, QStringLiteral("No !@@! symbol in template title tag. Please add!"));
    if (!tmpl.contains(QStringLiteral("!%%!")))
        return templateProblem(
            f, p, QStringLiteral("No !%%! symbol in template <H1>, <H2>... tag. Please add!"));
    if (!tmpl.contains(QStringLiteral("!##!")))
        return templateProblem(f, p, QStringLiteral("No !##! symbol in template text. Please add!"));
    return true;
}

bool checkSiteAddressField(Form1& f, Platform& p)
{
    const QString example = kMakerSite + QStringLiteral("cars/");
    const QString address = siteAddress(f);
    if (address.isEmpty())
        return true;
    switch (checkSiteAddress(address)) {
    case SiteAddressProblem::None: return true;
    case SiteAddressProblem::NotWebAddress:
        return refuse(f, p,
            QStringLiteral("Site address must be a full web address starting with http:// or https://, e.g. ")
                + example,
            f.Text18);
    case SiteAddressProblem::QueryOrFragment:
        return refuse(f, p,
            QStringLiteral("Don't use ? or # in the site address! Enter the address of the folder the "
                           "pages are published in, e.g. ")
                + example,
            f.Text18);
    }
    return true;
}

bool makeOutputDirectory(Form1& f, Platform& p)
{
    const QString dir = AppPath(p) + trimSpaces(f.Text8.Text());
    if (DirExists(dir))
        return refuse(f, p, QStringLiteral("Directory already exists. Choose another name!"), f.Text8);
    if (!QDir().mkdir(dir) || !DirExists(dir) || !QFileInfo(dir).isWritable())
        return refuse(f, p,
            QStringLiteral("Could not create the folder %1! Choose another name or check that the "
                           "program's folder can be written.")
                .arg(dir),
            f.Text8);
    return true;
}

// A day: any longer is no timeout at all, and seconds as milliseconds must fit an int.
constexpr int kLongestTimeout = 86400;

/// A count typed into a box: a whole number from `least` to `most`. A timeout read as 0 would
/// let one hanging server hold the run for ever, and "8x" as 8 would be a guess.
bool checkCount(Form1& f, Platform& p, const ComboBox& box, int least, int most, const QString& message)
{
    const std::optional<int> count = wholeNumber(box.Text());
    return (count && *count >= least && *count <= most) || refuse(f, p, message.arg(most), box);
}

bool checkRequestSettings(Form1& f, Platform& p)
{
    return checkCount(f, p, f.Combo2, 1, kLongestTimeout,
               QStringLiteral("Timeout must be a whole number of seconds from 1 to %1 (e.g. 60)!"))
        && checkCount(f, p, f.Combo8, 1, kMaxParallelRequests,
            QStringLiteral("Parallel requests must be a whole number from 1 to %1!"))
        && checkCount(f, p, f.Combo10, 1, kMaxParallelRequests,
            QStringLiteral("Requests to one host must be a whole number from 1 to %1!"));
}

} // namespace

bool checkSpiderInputs(Form1& f, Platform& p)
{
    if (f.List1.ListCount() == 0)
        return refuse(p, QStringLiteral("No urls to spider!"));
    if (f.Text6.Text().isEmpty())
        return refuse(
            f, p, QStringLiteral("No Referer (e.g. ") + kMakerSite + QStringLiteral(")! "), f.Text6);
    if (hasControlChar(f.Text6.Text()))
        return refuse(f, p, headerControlMessage(QStringLiteral("Referer")), f.Text6);
    if (f.Text4.Text().isEmpty())
        return refuse(f, p,
            QStringLiteral("No User Agent (e.g. Tarnwick/1.0 (+") + kMakerSite + QStringLiteral("))! "),
            f.Text4);
    if (hasControlChar(f.Text4.Text()))
        return refuse(f, p, headerControlMessage(QStringLiteral("User Agent")), f.Text4);
    if (f.Text5.Text().isEmpty() && f.Text17.Text().isEmpty())
        return refuse(
            f, p, QStringLiteral("Title must contain a value (enter space to return all titles)!"), f.Text5);
    if (!checkRequestSettings(f, p))
        return false;
    if (!retriesSetting(f))
        return refuse(
            f, p, QStringLiteral("Retries must be a whole number from 0 to %1!").arg(kMaxRetries), f.Combo9);
    if (f.Check3.Value() == 0)
        return true;

    if (Val(f.Combo3.Text()) > f.List1.ListCount())
        return refuse(f, p, QStringLiteral("Results per page is greater than number of urls!"), f.Combo3);
    f.Text12.setText(QStringLiteral("0"));
    f.Text15.setText({});
    f.pageFiles.clear();
    return checkPageSettings(f, p);
}

bool checkPageSettings(Form1& f, Platform& p)
{
    if (!checkNames(f, p))
        return false;
    if (f.Text11.Text().isEmpty())
        return refuse(f, p, QStringLiteral("No page title! Required for page TITLE tag."), f.Text11);
    if (!checkSiteAddressField(f, p))
        return false;
    if (!checkTemplate(f, p))
        return false;
    return makeOutputDirectory(f, p);
}

} // namespace tarnwick
