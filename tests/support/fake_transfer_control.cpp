#include "support/fake_transfer_control.h"

#include <QTimer>

namespace tarnwick::test {

void FakeTransferControl::Execute(const QString& url, const QString&, const QString&, const QString& headers)
{
    executed.append(url);
    headerBlocks.append(headers);
    executing = true;
    const quint64 id = ++request;
    const Answer a = answers.value(url, Answer { {}, true, 404, QStringLiteral("Not Found") });
    QTimer::singleShot(0, this, [this, id, a] {
        if (id != request || !executing)
            return;
        if (StateChanged)
            StateChanged(icConnecting);
        if (id != request || !executing)
            return;
        if (a.fails) {
            executing = false;
            code = a.errorCode;
            info = a.errorInfo;
            if (StateChanged)
                StateChanged(icError);
            return;
        }
        body = a.body;
        readPos = 0;
        if (StateChanged)
            StateChanged(icResponseCompleted);
    });
}

void FakeTransferControl::Cancel()
{
    ++cancels;
    executing = false;
    ++request;
}

QString FakeTransferControl::GetChunk(int size, int)
{
    chunkSizes.append(size);
    if (readPos >= body.size()) {
        executing = false;
        return {};
    }
    const QString piece = body.mid(readPos, size);
    readPos += piece.size();
    return piece;
}

QString FakeTransferControl::OpenURL(const QString& url, int)
{
    openedUrls.append(url);
    if (answers.contains(url))
        return answers[url].body;
    return openUrlBody;
}

} // namespace tarnwick::test
