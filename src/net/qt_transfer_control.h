#pragma once

#include "net/transfer_control.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

class QNetworkReply;

namespace tarnwick {

/// The transfer control on QtNetwork. One request at a time; its notifications are queued
/// on the event loop, so they arrive only while someone pumps events, and each carries the
/// number of its request so that nothing of a cancelled or replaced request arrives later.
class QtTransferControl : public QObject, public TransferControl {
public:
    /// Hosts whose idle connections are kept for a request that may follow; the connections
    /// of older ones are closed, so a run over thousands of sites keeps few sockets open.
    static constexpr int kIdleHostsKept = 4;

    explicit QtTransferControl(QObject* parent = nullptr);
    ~QtTransferControl() override;

    std::unique_ptr<TransferControl> makeSibling() override;

    void setRequestTimeout(int seconds) override { timeout_ = seconds; }
    int RequestTimeout() const override { return timeout_; }
    void Execute(
        const QString& url, const QString& operation, const QString& data, const QString& headers) override;
    bool StillExecuting() const override { return executing_; }
    void Cancel() override;
    QString GetChunk(int size, int type = 0) override;
    QString OpenURL(const QString& url, int type = 0) override;
    int ResponseCode() const override { return answer_.code; }
    QString ResponseInfo() const override { return answer_.info; }
    int httpStatus() const override { return answer_.status; }
    QString responseHeader(const QString& name) const override;

private:
    void onMetaData();
    void onReadyRead();
    void onFinished();
    /// Keeps what the reply has ready; false when that passes the size cap, which ends the request.
    bool takeAvailable();
    /// Ends the request in state 11 with this error.
    void fail(int code, const QString& info);
    /// Queues a notification for the current request; it is dropped if another request
    /// has started or this one was cancelled by the time it is delivered.
    void raise(int state);
    void dropReply();
    /// Before a request to `next`: closes every idle connection when too many hosts hold
    /// one. Only between requests, since it also ends the manager's network thread.
    void closeIdleConnections(const QUrl& next);

    QNetworkAccessManager manager_;
    QSet<QString> recentHosts_;
    QPointer<QNetworkReply> reply_;
    QTimer deadline_;
    quint64 request_ = 0;
    bool executing_ = false;
    int timeout_ = 60;
    /// What the current request has brought; each request starts from an empty one.
    struct Answer {
        bool receiving = false;
        bool bodyReady = false;
        QByteArray bytes;
        QString body;
        qsizetype readPos = 0;
        int code = 0;
        QString info;
        int status = 0;
        QList<QPair<QByteArray, QByteArray>> headers;
    } answer_;
};

} // namespace tarnwick
