#include "cli/session.h"

#include "app/small_handlers.h"
#include "app/startup.h"
#include "files/text_file_writer.h"
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"

#include <QFileInfo>

#include <csignal>

namespace tarnwick {

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

ExitStatus outcome(bool outputWritten, bool stopped)
{
    if (!outputWritten)
        return ExitStatus::Failed;
    return stopped ? ExitStatus::Stopped : ExitStatus::Completed;
}

Session::Session(const QString& folder)
    : f(std::make_unique<QtTransferControl>())
    , p(folder)
    , watch([this] { mnuStopAll_Click(f); })
{
    Form_Load(f);
    attachResponseHandler(f, p);
    p.beforeMessage = [this] { progress.clear(); };
    p.onPump = [this] {
        // A run that starts after the interrupt would set the stop flag back to "1".
        if (watch.interrupted())
            mnuStopAll_Click(f);
        if (showProgress)
            showProgress();
        killForTest();
    };
}

Session::~Session()
{
    progress.clear();
}

void Session::killForTest()
{
    static const QStringList kill = qEnvironmentVariable("TARNWICK_TEST_KILL").split(QLatin1Char(':'));
    if (kill.size() != 2)
        return;
    const qsizetype done = kill.first() == QLatin1String("pages")
        ? f.Text15.Text().count(QStringLiteral("<a href"))
        : static_cast<qsizetype>(f.runReport.outcomes().size());
    if (done >= kill.last().toInt())
        std::raise(SIGKILL);
}

bool Session::open(Handler command, const Control& target, const QString& path)
{
    const std::uint64_t before = target.revision();
    p.answerNextDialog(path);
    command(f, p);
    return target.revision() != before;
}

Session::Saved Session::save(Handler command, const QString& path)
{
    const qsizetype before = p.messages().size();
    p.answerNextDialog(path);
    command(f, p);
    p.dropAnswers();
    const QStringList shown = p.messages().mid(before);
    if (shown == QStringList { QStringLiteral("Nothing to save!") })
        return Saved::NothingToSave;
    const QString saved
        = QStringLiteral("File ") + QFileInfo(path).absoluteFilePath() + QStringLiteral(" saved!");
    return shown == QStringList { saved } ? Saved::Yes : Saved::Failed;
}

bool Session::writeFile(const QString& path, const QString& text)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    const SaveResult result = saveTextFile(p.fileSystem(), full, text, Durability::Sync);
    writeTo(stderr,
        result.ok() ? QStringLiteral("File %1 saved!\n").arg(full)
                    : notSavedMessage(full, result.reason) + QLatin1Char('\n'));
    return result.ok();
}

bool Session::saveOrPrint(const ParsedCommand& command, Handler save, const QStringList& entries)
{
    if (command.has("-o"))
        return this->save(save, command.value("-o")) != Saved::Failed;
    for (const QString& entry : entries)
        writeTo(stdout, entry + QLatin1Char('\n'));
    return true;
}

bool Session::endedStopped() const
{
    return watch.interrupted() && !p.messages().isEmpty()
        && p.messages().constLast().startsWith(QStringLiteral("Stopped!"));
}

} // namespace tarnwick
