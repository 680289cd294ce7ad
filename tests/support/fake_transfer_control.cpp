#include "support/fake_transfer_control.h"

#include <QTimer>

namespace tarnwick::test {

std::unique_ptr<TransferControl> FakeTransferControl::makeSibling()
{
    auto sibling = std::make_unique<FakeTransferControl>();
    ++origin().siblings;
    sibling->answers = answers;
    sibling->origin_ = &origin();
    return sibling;
}

void FakeTransferControl::ended()
{
    if (executing)
        --origin().running;
    executing = false;
}

void FakeTransferControl::Execute(const QString& url, const QString&, const QString&, const QString&)
{
    FakeTransferControl& log = origin();
    log.executed.append(url);
    log.timeouts.append(timeout);
    if (executing)
        ended();
    executing = true;
    log.mostRunning = qMax(log.mostRunning, ++log.running);
    code = 0;
    info.clear();
    status = 0;
    headers.clear();
    const quint64 id = ++request;
    QList<Answer>& once = log.firstAnswers[url];
    const Answer a = !once.isEmpty()
        ? once.takeFirst()
        : answers.value(url, Answer { {}, true, 404, QStringLiteral("Not Found") });
    QTimer::singleShot(0, this, [this, id, a] {
        if (a.holds || id != request || !executing)
            return;
        if (StateChanged)
            StateChanged(icConnecting);
        if (id != request || !executing)
            return;
        if (a.fails) {
            ended();
            code = a.errorCode;
            info = a.errorInfo;
            if (StateChanged)
                StateChanged(icError);
            return;
        }
        body = a.body;
        readPos = 0;
        status = a.status;
        for (auto at = a.headers.begin(); at != a.headers.end(); ++at)
            headers.insert(at.key().toLower(), at.value());
        if (StateChanged)
            StateChanged(icResponseCompleted);
    });
}

void FakeTransferControl::Cancel()
{
    ended();
    ++request;
}

QString FakeTransferControl::GetChunk(int size, int)
{
    if (readPos >= body.size()) {
        ended();
        return {};
    }
    const QString piece = body.mid(readPos, size);
    readPos += piece.size();
    return piece;
}

} // namespace tarnwick::test
