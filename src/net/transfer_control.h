#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace tarnwick {

/// The HTTP transfer control through which the keyword lookup and the spider reach the web.
/// Abstract so handlers can be tested against a scripted fake; the real implementation is
/// QtTransferControl (net/qt_transfer_control.h), on QtNetwork.
///
/// Notifications arrive only while someone pumps events, on the window's thread, never from
/// inside Execute.
class TransferControl {
public:
    /// Progress states raised through StateChanged.
    enum State : int {
        icNone = 0,
        icHostResolvingHost = 1,
        icHostResolved = 2,
        icConnecting = 3,
        icConnected = 4,
        icRequesting = 5,
        icRequestSent = 6,
        icReceivingResponse = 7,
        icResponseReceived = 8,
        icDisconnecting = 9,
        icDisconnected = 10,
        icError = 11,
        icResponseCompleted = 12,
    };

    /// Error numbers of failures that are not the network's own; those keep the numbers of
    /// QNetworkReply::NetworkError.
    static constexpr int kErrorTimeout = 35761;
    static constexpr int kErrorTooLarge = 35762;
    static constexpr int kErrorInvalidUrl = 35763;
    static constexpr int kErrorUnsupported = 35764;
    static constexpr int kErrorFetchFailed = 35765;
    /// Not a request's failure: the spider did not ask, as the site's robots.txt refuses it.
    static constexpr int kErrorRobotsRefused = 35766;

    virtual ~TransferControl() = default;

    /// Another control of the same kind, for a request that runs beside this one's.
    virtual std::unique_ptr<TransferControl> makeSibling() = 0;

    /// Whole seconds that bound a whole request; a slower one ends in state 11.
    virtual void setRequestTimeout(int seconds) = 0;
    virtual int RequestTimeout() const = 0;

    /// Starts a request and returns at once. `headers` is split into lines; every
    /// non-empty line is sent as a request header.
    virtual void Execute(
        const QString& url, const QString& operation, const QString& data, const QString& headers)
        = 0;
    /// True from Execute until the request failed, was cancelled, or its body was read to
    /// the end with GetChunk (so still true inside the state-12 notification).
    virtual bool StillExecuting() const = 0;
    /// Ends the running request; no notification follows.
    virtual void Cancel() = 0;
    /// The next piece of the body as text, at most `size` characters; empty once exhausted.
    virtual QString GetChunk(int size, int type = 0) = 0;
    /// Blocking fetch: the whole body as text, empty on failure. Raises no notifications.
    virtual QString OpenURL(const QString& url, int type = 0) = 0;

    /// Number and text of the current request's error; 0 and empty while it has none.
    virtual int ResponseCode() const = 0;
    virtual QString ResponseInfo() const = 0;
    /// The HTTP status of the current request's answer; 0 until one arrived.
    virtual int httpStatus() const = 0;
    /// A header of the current request's answer ("Retry-After"), empty when it has none or
    /// no answer arrived.
    virtual QString responseHeader(const QString& name) const
    {
        Q_UNUSED(name);
        return {};
    }

    /// The state-change notification (the spider's response handler in the program).
    std::function<void(int state)> StateChanged;
};

/// The status text shown in the caption for states 1 to 10; empty for others.
QString stateText(int state);

/// The piece of `body` that GetChunk(size) returns when `readPos` characters have been read,
/// moving `readPos` past it. A piece never ends between the two halves of a surrogate pair.
QString bodyPiece(const QString& body, qsizetype& readPos, int size);

} // namespace tarnwick
