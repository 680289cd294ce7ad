#include "net/qt_transfer_control.h"

#include "net/blocking_fetch.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QUrl>

namespace tarnwick {

namespace {

// A lone CR counts as a line break too, so no typed text can smuggle a line into the request.
QStringList headerLines(const QString& block)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return block.split(lineBreak, Qt::SkipEmptyParts);
}

bool isHeaderName(const QString& name)
{
    static const QRegularExpression token(QStringLiteral("^[!#$%&'*+.^_`|~0-9A-Za-z-]+$"));
    return token.match(name).hasMatch();
}

void addHeaders(QNetworkRequest& request, const QString& block)
{
    for (const QString& line : headerLines(block)) {
        const qsizetype colon = line.indexOf(u':');
        if (colon == -1)
            continue;
        const QString name = line.left(colon).trimmed();
        if (!isHeaderName(name))
            continue;
        // Blanks around a value are no part of it in HTTP; the rest is sent as typed.
        request.setRawHeader(name.toLatin1(), line.mid(colon + 1).trimmed().toUtf8());
    }
}

bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString overCapInfo()
{
    return QStringLiteral("Response over %1 bytes").arg(kMaxBodyBytes);
}

// Idle connections are kept per scheme, host and port.
QString connectionKey(const QUrl& url)
{
    return url.scheme().toLower() + QLatin1Char(' ') + url.host().toLower() + QLatin1Char(' ')
        + QString::number(url.port());
}

} // namespace

QtTransferControl::QtTransferControl(QObject* parent)
    : QObject(parent)
{
    // Ending the request stops the deadline, so it fires once.
    connect(&deadline_, &QTimer::timeout, this, [this] { fail(kErrorTimeout, QStringLiteral("Timeout")); });
}

QtTransferControl::~QtTransferControl()
{
    // Queued notifications die with this object; only the live reply needs ending.
    dropReply();
}

std::unique_ptr<TransferControl> QtTransferControl::makeSibling()
{
    auto sibling = std::make_unique<QtTransferControl>();
    sibling->setRequestTimeout(timeout_);
    return sibling;
}

void QtTransferControl::closeIdleConnections(const QUrl& next)
{
    const QString key = connectionKey(next);
    if (recentHosts_.contains(key))
        return;
    if (recentHosts_.size() >= kIdleHostsKept) {
        manager_.clearConnectionCache();
        recentHosts_.clear();
    }
    recentHosts_.insert(key);
}

void QtTransferControl::dropReply()
{
    deadline_.stop();
    if (QNetworkReply* reply = reply_.data()) {
        reply_.clear();
        // Disconnected first: abort emits finished at once, and nothing of it may come back.
        reply->disconnect(this);
        reply->abort();
        // This may run inside one of the reply's own signals, so it goes later.
        reply->deleteLater();
    }
}

void QtTransferControl::Execute(
    const QString& url, const QString& operation, const QString&, const QString& headers)
{
    // A request still running is dropped silently: the new number makes its late signals stale.
    dropReply();
    ++request_;
    executing_ = true;
    answer_ = {};

    const QUrl target = requestUrl(url);
    if (!operation.isEmpty() && operation.compare(QLatin1String("GET"), Qt::CaseInsensitive) != 0) {
        fail(kErrorUnsupported, QStringLiteral("Unsupported operation ") + operation);
        return;
    }
    if (!isWebUrl(target)) {
        fail(kErrorInvalidUrl, QStringLiteral("Invalid URL"));
        return;
    }

    closeIdleConnections(target);
    QNetworkRequest request = makeGetRequest(target);
    addHeaders(request, headers);
    raise(icConnecting);
    QNetworkReply* reply = manager_.get(request);
    reply_ = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, &QtTransferControl::onMetaData);
    connect(reply, &QNetworkReply::readyRead, this, &QtTransferControl::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &QtTransferControl::onFinished);
    deadline_.start(requestTimeoutMs(timeout_));
}

void QtTransferControl::onMetaData()
{
    if (!reply_)
        return;
    // A declared length over the cap fails before a byte of the body is kept.
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxBodyBytes) {
        fail(kErrorTooLarge, overCapInfo());
        return;
    }
    if (!answer_.receiving) {
        answer_.receiving = true;
        raise(icReceivingResponse);
    }
}

bool QtTransferControl::takeAvailable()
{
    if (answer_.bytes.size() + reply_->bytesAvailable() > kMaxBodyBytes) {
        fail(kErrorTooLarge, overCapInfo());
        return false;
    }
    answer_.bytes += reply_->readAll();
    return true;
}

void QtTransferControl::onReadyRead()
{
    // The headers came first, and with them state 7.
    if (reply_)
        takeAvailable();
}

void QtTransferControl::onFinished()
{
    QNetworkReply* reply = reply_.data();
    if (!reply)
        return;
    if (!answeredWithStatus(*reply)) {
        // A refused or dropped connection, a broken body, too many redirects: no answer.
        const auto [code, text] = noAnswerError(*reply);
        fail(code, text);
        return;
    }
    // Whatever readyRead has not brought yet counts against the cap too.
    if (!takeAvailable())
        return;
    const QString contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    answer_.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer_.headers = reply->rawHeaderPairs();
    // A redirect may have left a connection to another host; it counts among the idle ones.
    recentHosts_.insert(connectionKey(reply->url()));
    dropReply();

    // Any HTTP status with its body is an answer: a 404 or 500 page is judged by its text.
    answer_.body = decodeBody(answer_.bytes, contentType);
    answer_.bytes = QByteArray();
    answer_.bodyReady = true;
    raise(icResponseReceived);
    raise(icResponseCompleted);
}

QString QtTransferControl::responseHeader(const QString& name) const
{
    const QByteArray wanted = name.toLatin1();
    for (const auto& header : answer_.headers) {
        if (header.first.compare(wanted, Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(header.second);
    }
    return {};
}

void QtTransferControl::fail(int code, const QString& info)
{
    dropReply();
    answer_ = {};
    answer_.code = code;
    answer_.info = info;
    raise(icError);
}

void QtTransferControl::raise(int state)
{
    const quint64 id = request_;
    QMetaObject::invokeMethod(
        this,
        [this, id, state] {
            if (id != request_ || !executing_)
                return;
            // The request is over once its error is told; StillExecuting is false in the handler.
            if (state == icError)
                executing_ = false;
            if (!StateChanged) {
                // Nobody will read the body, so nobody will end the request either.
                if (state == icResponseCompleted)
                    executing_ = false;
                return;
            }
            StateChanged(state);
        },
        Qt::QueuedConnection);
}

void QtTransferControl::Cancel()
{
    ++request_;
    executing_ = false;
    dropReply();
    // What it said of itself stays; its body goes.
    answer_.bytes = QByteArray();
    answer_.body = QString();
    answer_.readPos = 0;
}

QString QtTransferControl::GetChunk(int size, int)
{
    // Before the whole answer is there a piece is none, and ends nothing.
    if (!answer_.bodyReady)
        return {};
    if (answer_.readPos >= answer_.body.size()) {
        // Read to the end: the request is over, and its body no longer needs the memory.
        executing_ = false;
        answer_.body = QString();
        answer_.readPos = 0;
        return {};
    }
    return bodyPiece(answer_.body, answer_.readPos, size);
}

QString QtTransferControl::OpenURL(const QString& url, int)
{
    const QUrl target = requestUrl(url);
    if (!isWebUrl(target)) {
        answer_.code = kErrorInvalidUrl;
        answer_.info = QStringLiteral("Invalid URL");
        return {};
    }
    const FetchResult result = fetchBlocking(target, timeout_);
    if (!result.ok) {
        answer_.code = result.error == QLatin1String("Timeout") ? kErrorTimeout : kErrorFetchFailed;
        answer_.info = result.error;
        return {};
    }
    return decodeBody(result.body, result.contentType);
}

} // namespace tarnwick
