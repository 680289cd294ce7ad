#pragma once

#include "net/transfer_control.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

/// A transfer control without a network: each address answers with a scripted body or an error at the
/// next event pump, as the real one does; calls are recorded, a sibling's into the control it came from.
class FakeTransferControl : public QObject, public TransferControl {
public:
    struct Answer {
        QString body;
        bool fails = false; // state 11 instead of 12
        int errorCode = 0;
        QString errorInfo;
        int status = 200;
        QHash<QString, QString> headers;
        bool holds = false; // never answers; only Cancel or the next Execute ends it
    };

    void answer(const QString& url, const QString& body) { answers[url] = Answer { body }; }
    void fail(const QString& url, int code, const QString& info)
    {
        answers[url] = Answer { {}, true, code, info };
    }

    std::unique_ptr<TransferControl> makeSibling() override;
    void setRequestTimeout(int seconds) override { timeout = seconds; }
    int RequestTimeout() const override { return timeout; }
    void Execute(
        const QString& url, const QString& operation, const QString& data, const QString& headers) override;
    bool StillExecuting() const override { return executing; }
    void Cancel() override;
    QString GetChunk(int size, int type = 0) override;
    QString OpenURL(const QString& url, int = 0) override { return answers.value(url).body; }
    int ResponseCode() const override { return code; }
    QString ResponseInfo() const override { return info; }
    int httpStatus() const override { return status; }
    QString responseHeader(const QString& name) const override { return headers.value(name.toLower()); }

    QHash<QString, Answer> answers;
    /// Answers given once each, in order, before `answers` is asked (on this control and its siblings alike).
    QHash<QString, QList<Answer>> firstAnswers;
    QStringList executed;
    QList<int> timeouts; ///< the request timeout of each executed request
    /// Requests running on this control and its siblings now, and the most at once.
    int running = 0;
    int mostRunning = 0;
    int siblings = 0; ///< made from this control and its siblings

private:
    FakeTransferControl& origin() { return origin_ ? *origin_ : *this; }
    void ended();

    FakeTransferControl* origin_ = nullptr;
    int timeout = 0;
    bool executing = false;
    quint64 request = 0;
    QString body;
    qsizetype readPos = 0;
    int code = 0;
    QString info;
    int status = 0;
    QHash<QString, QString> headers;
};

} // namespace tarnwick::test
