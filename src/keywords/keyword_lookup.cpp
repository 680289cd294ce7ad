#include "keywords/keyword_lookup.h"

#include <QDir>
#include <QFileInfo>

#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "files/text_file_writer.h"
#include "keywords/keyword_sources.h"
#include "keywords/suggestion_lookup.h"
#include "keywords/suggestion_service.h"
#include "net/draining.h"
#include "net/page_link_component.h"
#include "net/transfer_control.h"

namespace tarnwick {

namespace {

constexpr int kLimit = 30000;

// Writes the answer where the page component reads it, through the checked save, so a full
// disk leaves no cut-off answer to be read; false when it cannot.
bool writeSuggestionFile(FileSystem& files, const QString& path, const QString& answer)
{
    // A folder that cannot be made fails the save below.
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The answer is already text; the mark keeps the page's own charset label (a
    // windows-1252 meta tag, say) from decoding these UTF-8 bytes a second time.
    const QByteArray bytes
        = "\xEF\xBB\xBF" + (QStringLiteral("\"") + answer + QStringLiteral("\"\r\n")).toUtf8();
    return saveFile(files, path, bytes, Durability::NoSync).ok();
}

void clearStatus(Form1& f)
{
    f.Label8.setBackColor(colour::ButtonFace);
    f.Label8.setCaption(QString());
}

void lookup(Form1& f, Platform& p)
{
    // The request pumps events: nothing else may start from them meanwhile.
    if (f.activity != Activity::None)
        return;
    ActivityScope scope(f, Activity::Lookup);
    f.progress.lookupSeedText = f.Text1.Text();
    f.progress.lookupSeed = f.progress.lookupSeeds = 1;
    f.List2.Clear();
    f.Label7.setCaption(QStringLiteral("0"));
    f.Label8.setBackColor(colour::Yellow);
    f.Label8.setCaption(QStringLiteral("Grabbing keywords, please wait..."));
    const QString path = suggestionFilePath();
    if (!p.DoEvents())
        return;
    f.Inet1->setRequestTimeout(30);

    // A failed request or write shows as one of the two endings below, not on its own.
    const QString answer = f.Inet1->OpenURL(suggestionAddress(f.Combo1.Text(), f.Text1.Text()), 0);
    if (p.unloaded())
        return;
    const bool written = writeSuggestionFile(p.fileSystem(), path, answer);

    PageLinkComponent page;
    if (!written || !page.LoadPageFile(path, 60, 0)) {
        p.MsgBox(QStringLiteral("Overture results not available!"));
        if (!drainTransfer(*f.Inet1, p))
            return;
        f.setCaption(QStringLiteral("Tarnwick"));
        clearStatus(f);
        return;
    }
    page.ExcludeLinks(1, QStringLiteral(".xml"), QStringLiteral(".pdf"));
    page.ExcludeLinks(1, QStringLiteral(".doc"), QStringLiteral(".mp3"));
    const QList<LinkRecord> links = page.GetLinks();

    if (links.isEmpty()) {
        p.MsgBox(QStringLiteral("No results returned. Try again!"));
        f.setCaption(QStringLiteral("Tarnwick"));
        clearStatus(f);
        (void)drainTransfer(*f.Inet1, p);
        return;
    }
    for (int i = 0; i < links.size(); ++i) {
        f.List2.AddItem(
            page.GetTableCell(2, i + 3, 1) + QStringLiteral(" - ") + page.GetTableCell(2, i + 3, 2));
    }
    if (f.List2.ListCount() > kLimit) {
        p.MsgBox(QStringLiteral("Limit reached!"));
        (void)drainTransfer(*f.Inet1, p);
        return;
    }
    f.Label7.setCaption(numText(f.List2.ListCount()));
    clearStatus(f);
}

} // namespace

void Text1_KeyPress(Form1& f, Platform& p, int& keyAscii)
{
    if (keyAscii != 13)
        return;
    if (f.Text1.Text().isEmpty()) {
        p.MsgBox(QStringLiteral("No search term entered!"));
        return;
    }
    const std::optional<KeywordSource> source = keywordSourceFor(f.keywordSource);
    if (!source)
        p.MsgBox(unknownKeywordSource(f.keywordSource));
    else if (source->read != nullptr)
        lookUpSuggestions(f, p, *source);
    else
        lookup(f, p);
}

void Command2_Click(Form1& f, Platform& p)
{
    if (f.Text1.Text().isEmpty()) {
        p.MsgBox(QStringLiteral("Nothing to add!"));
        return;
    }
    f.List2.AddItem(QStringLiteral(" - ") + f.Text1.Text());
}

} // namespace tarnwick
