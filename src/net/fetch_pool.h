#pragma once

#include "net/transfer_control.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tarnwick {

/// A request run by a FetchPool, named by the caller's number for it.
struct FetchRequest {
    int id = 0;
    QString url;
    QString headers; ///< the header block, as Execute takes it
    QString host; ///< whatever the caller counts requests per host by
    int timeoutSeconds = 0;
};

/// How a request of a FetchPool ended: its whole body, or the error that ended it.
struct FinishedFetch {
    FetchRequest request;
    bool completed = false; ///< the body arrived; else the request failed
    QString body;
    int httpStatus = 0;
    QString retryAfter; ///< the answer's Retry-After header
    int errorCode = 0;
    QString errorInfo;
};

/// Runs up to a number of requests at once, each on a transfer control of its own, and keeps
/// each finished one until the caller takes it. It never decides what runs next: the caller
/// starts requests while canRunMore() and takes them back in the order it chooses. As with
/// one control, everything arrives only while someone pumps events.
class FetchPool {
public:
    using MakeControl = std::function<std::unique_ptr<TransferControl>()>;

    /// Runs at most `capacity` requests at once; `makeControl` is asked for a control each
    /// time a request needs one more.
    FetchPool(MakeControl makeControl, int capacity);
    ~FetchPool();
    FetchPool(const FetchPool&) = delete;
    FetchPool& operator=(const FetchPool&) = delete;

    bool canRunMore() const;
    /// Requests now running whose host is `host`.
    int runningFor(const QString& host) const;
    /// True from start() until the request is taken or cancelled.
    bool holds(int id) const;
    void start(const FetchRequest& request);
    /// The finished request `id`, which the pool then forgets; nothing while it runs.
    std::optional<FinishedFetch> take(int id);
    /// Ends every running request and forgets the finished ones; nothing of them comes later.
    void cancelAll();

    /// Progress states 1 to 11 of any running request, with the control that raised them.
    std::function<void(TransferControl& control, int state)> onProgress;

private:
    struct Slot {
        std::unique_ptr<TransferControl> control;
        std::optional<FetchRequest> request;
    };

    void notified(Slot& slot, int state);

    MakeControl makeControl_;
    int size_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::map<int, FinishedFetch> finished_;
};

} // namespace tarnwick
