#include "files/file_commands.h"

#include "app/app_path.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/text_ops.h"
#include "files/text_file_reader.h"
#include "files/text_file_writer.h"
#include "net/clean_line.h"

namespace tarnwick {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSpiderDataFilter = QStringLiteral("Spider Data (*.sdata)|*.sdata");
const QString kTemplateFilter = QStringLiteral("Template (*.tplate)|*.tplate");
constexpr int kListLimit = 30000;
// One list entry is one keyword or one URL; a longer line is no entry, only a cost.
constexpr qsizetype kMaxEntryLength = 65536;

enum class DialogKind { Open, Save };

/// Shows the dialog from the program's folder; the chosen path, or an empty text on cancel.
QString askForFile(Platform& p, FileDialog& dialog, DialogKind kind)
{
    dialog.InitDir = AppPath(p);
    const bool chosen = kind == DialogKind::Open ? p.ShowOpen(dialog) : p.ShowSave(dialog);
    return chosen ? dialog.FileName : QString();
}

/// Reads the chosen file whole; on failure names the file and returns nothing to use.
bool readChosenFile(Platform& p, const QString& path, QString& text)
{
    TextFileRead read = readTextFile(path);
    if (!read.ok()) {
        const char* what
            = read.failure == TextFileRead::Failure::Read ? " could not be read: " : " could not be opened: ";
        p.MsgBox(QStringLiteral("File ") + path + QLatin1String(what) + read.reason);
        return false;
    }
    text = std::move(read.text);
    return true;
}

QString cleanedLine(QStringView line)
{
    return trimSpaces(CleanLine(line.toString(), kCrLf));
}

/// The file an Open command reads: the one dropped on the window, else the one its dialog gives.
QString fileToOpen(Platform& p, FileDialog& dialog, const QString& dropped)
{
    return dropped.isEmpty() ? askForFile(p, dialog, DialogKind::Open) : dropped;
}

void openList(Form1& f, Platform& p, FileDialog& dialog, ListBox& list, Label& count, const QString& dropped)
{
    // Changing the URL list under the randomiser would scramble positions that no longer exist.
    if (&list == &f.List1 && f.activity == Activity::Randomise)
        return;
    const QString path = fileToOpen(p, dialog, dropped);
    if (path.isEmpty())
        return;
    QString text;
    if (!readChosenFile(p, path, text))
        return;

    QStringList entries;
    LineSplitter lines(text);
    QStringView line;
    bool limitReached = false;
    int tooLong = 0;
    while (lines.next(line)) {
        if (line.size() > kMaxEntryLength) {
            ++tooLong;
        } else {
            const QString entry = cleanedLine(line);
            if (!entry.isEmpty())
                entries.append(entry);
        }
        if (entries.size() > kListLimit) {
            limitReached = true;
            break;
        }
    }
    list.replaceAll(std::move(entries));
    // The count is true before any message about the list comes up.
    count.setCaption(QString::number(list.ListCount()));
    if (tooLong > 0) {
        const QString howMany
            = tooLong == 1 ? QStringLiteral("1 line") : QString::number(tooLong) + QStringLiteral(" lines");
        p.MsgBox(QStringLiteral("File ") + path + QStringLiteral(": ") + howMany
            + QStringLiteral(" longer than ") + QString::number(kMaxEntryLength)
            + QStringLiteral(" characters left out!"));
    }
    if (limitReached) {
        int leftOut = 0;
        while (lines.next(line))
            leftOut += trimSpaces(line.toString()).isEmpty() ? 0 : 1;
        // A command running now keeps the strip for its own progress.
        if (f.activity == Activity::None)
            f.labelStatus.setCaption(
                QStringLiteral("Limit reached: %1 entries opened from %2, %3 more %4 left out.")
                    .arg(list.ListCount())
                    .arg(path)
                    .arg(leftOut)
                    .arg(leftOut == 1 ? QStringLiteral("line") : QStringLiteral("lines")));
        p.MsgBox(QStringLiteral("Limit reached!"));
    }
}

void openPane(Platform& p, FileDialog& dialog, const QString& filter, TextPane& pane, const QString& dropped)
{
    dialog.Filter = filter;
    const QString path = fileToOpen(p, dialog, dropped);
    if (path.isEmpty())
        return;
    QString text;
    if (!readChosenFile(p, path, text))
        return;
    pane.setText(openedPaneText(text));
}

void saveList(Platform& p, FileDialog& dialog, const ListBox& list)
{
    if (list.ListCount() == 0) {
        p.MsgBox(QStringLiteral("Nothing to save!"));
        return;
    }
    QString content;
    for (const QString& entry : list.items()) {
        content += entry;
        content += kCrLf;
    }
    saveToChosenFile(p, dialog, content);
}

bool savePane(Platform& p, FileDialog& dialog, const QString& filter, const TextPane& pane)
{
    if (pane.Text().isEmpty()) {
        p.MsgBox(QStringLiteral("Nothing to save!"));
        return false;
    }
    dialog.Filter = filter;
    QString content;
    for (const QStringView piece : QStringView(pane.Text()).split(kCrLf)) {
        content += piece;
        content += kCrLf;
    }
    content += kCrLf;
    return saveToChosenFile(p, dialog, content);
}

void openKeywords(Form1& f, Platform& p, const QString& dropped)
{
    openList(f, p, f.CDialog1, f.List2, f.Label7, dropped);
}

void openUrls(Form1& f, Platform& p, const QString& dropped)
{
    openList(f, p, f.CDialog2, f.List1, f.Label1, dropped);
}

void openSpiderData(Form1& f, Platform& p, const QString& dropped)
{
    const std::uint64_t before = f.RichTextBox1.revision();
    openPane(p, f.CommonDialog2, kSpiderDataFilter, f.RichTextBox1, dropped);
    // What was read from a file is not lost by quitting.
    if (f.RichTextBox1.revision() != before)
        f.markSpiderDataSaved();
}

void openTemplate(Form1& f, Platform& p, const QString& dropped)
{
    openPane(p, f.CommonDialog2, kTemplateFilter, f.RichTextBox2, dropped);
}

// Which Open command takes a file, by the extension its dialog's filter asks for.
struct OpenCommand {
    QLatin1String extension;
    void (*open)(Form1&, Platform&, const QString& dropped);
};

constexpr OpenCommand kOpenCommands[] = {
    { QLatin1String(".kwrds"), openKeywords },
    { QLatin1String(".urls"), openUrls },
    { QLatin1String(".sdata"), openSpiderData },
    { QLatin1String(".tplate"), openTemplate },
};

const OpenCommand* openCommandFor(const QString& path)
{
    for (const OpenCommand& command : kOpenCommands) {
        if (path.endsWith(command.extension, Qt::CaseInsensitive))
            return &command;
    }
    return nullptr;
}

} // namespace

QString openedPaneText(const QString& fileText)
{
    QString collected;
    LineSplitter lines(fileText);
    QStringView line;
    while (lines.next(line)) {
        collected += cleanedLine(line);
        collected += kCrLf;
    }
    return collected;
}

bool saveToChosenFile(Platform& p, FileDialog& dialog, const QString& content)
{
    const QString path = askForFile(p, dialog, DialogKind::Save);
    if (path.isEmpty())
        return false;
    const SaveResult result = saveTextFile(p.fileSystem(), path, content, Durability::Sync);
    if (result.ok())
        p.MsgBox(QStringLiteral("File ") + path + QStringLiteral(" saved!"));
    else
        p.MsgBox(notSavedMessage(path, result.reason));
    return result.ok();
}

bool opensDroppedFile(const QString& path)
{
    return openCommandFor(path) != nullptr;
}

void openDroppedFile(Form1& f, Platform& p, const QString& path)
{
    if (const OpenCommand* command = openCommandFor(path))
        command->open(f, p, path);
}

void mnuOpenKeywords_Click(Form1& f, Platform& p)
{
    openKeywords(f, p, {});
}

void mnuSaveKeywords_Click(Form1& f, Platform& p)
{
    saveList(p, f.CDialog1, f.List2);
}

void mnuClearKeywords_Click(Form1& f, Platform&)
{
    f.List2.Clear();
    f.Label7.setCaption(QString::number(f.List2.ListCount()));
}

void mnuOpenURLs_Click(Form1& f, Platform& p)
{
    openUrls(f, p, {});
}

void mnuSaveURLs_Click(Form1& f, Platform& p)
{
    saveList(p, f.CDialog2, f.List1);
}

void mnuClearURLs_Click(Form1& f, Platform&)
{
    if (f.activity == Activity::Randomise)
        return;
    f.List1.Clear();
    f.Label1.setCaption(QString::number(f.List1.ListCount()));
}

void mnuOpenSpiderData_Click(Form1& f, Platform& p)
{
    openSpiderData(f, p, {});
}

void mnuSaveSpiderData_Click(Form1& f, Platform& p)
{
    if (savePane(p, f.CommonDialog1, kSpiderDataFilter, f.RichTextBox1))
        f.markSpiderDataSaved();
}

void mnuClearSpiderData_Click(Form1& f, Platform&)
{
    f.RichTextBox1.setText(QString());
    f.Label10.setCaption(QStringLiteral("0"));
    f.Label15.setCaption(QStringLiteral("0"));
}

void mnuOpenTemplate_Click(Form1& f, Platform& p)
{
    openTemplate(f, p, {});
}

void mnuSaveTemplate_Click(Form1& f, Platform& p)
{
    savePane(p, f.CommonDialog2, kTemplateFilter, f.RichTextBox2);
}

void mnuClearTemplate_Click(Form1& f, Platform&)
{
    f.RichTextBox2.setText(QString());
}

} // namespace tarnwick
