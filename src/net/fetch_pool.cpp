#include "net/fetch_pool.h"

#include <algorithm>
#include <limits>

namespace tarnwick {

FetchPool::FetchPool(MakeControl makeControl, int capacity)
    : makeControl_(std::move(makeControl))
    , size_(std::max(capacity, 1))
{
}

FetchPool::~FetchPool()
{
    cancelAll();
}

bool FetchPool::canRunMore() const
{
    const auto busy = std::count_if(
        slots_.begin(), slots_.end(), [](const std::unique_ptr<Slot>& s) { return s->request.has_value(); });
    return busy < size_;
}

int FetchPool::runningFor(const QString& host) const
{
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(),
        [&host](const std::unique_ptr<Slot>& s) { return s->request && s->request->host == host; }));
}

bool FetchPool::holds(int id) const
{
    return finished_.count(id) > 0
        || std::any_of(slots_.begin(), slots_.end(),
            [id](const std::unique_ptr<Slot>& s) { return s->request && s->request->id == id; });
}

void FetchPool::start(const FetchRequest& request)
{
    auto idle = std::find_if(
        slots_.begin(), slots_.end(), [](const std::unique_ptr<Slot>& s) { return !s->request; });
    Slot* slot = idle != slots_.end() ? idle->get() : nullptr;
    if (slot == nullptr) {
        slots_.push_back(std::make_unique<Slot>());
        slot = slots_.back().get();
        slot->control = makeControl_();
        slot->control->StateChanged = [this, slot](int state) { notified(*slot, state); };
    }
    slot->request = request;
    slot->control->setRequestTimeout(request.timeoutSeconds);
    slot->control->Execute(request.url, QStringLiteral("GET"), QString(), request.headers);
}

void FetchPool::notified(Slot& slot, int state)
{
    if (!slot.request)
        return;
    TransferControl& control = *slot.control;
    if (state != TransferControl::icResponseCompleted) {
        if (state == TransferControl::icError) {
            FinishedFetch done;
            done.request = *slot.request;
            done.errorCode = control.ResponseCode();
            done.errorInfo = control.ResponseInfo();
            done.httpStatus = control.httpStatus();
            finished_[done.request.id] = std::move(done);
            slot.request.reset();
        }
        if (onProgress)
            onProgress(control, state);
        return;
    }
    FinishedFetch done;
    done.request = *slot.request;
    done.completed = true;
    // The whole body at once: it is handed on in the handler's own pieces later.
    const int all = std::numeric_limits<int>::max();
    for (QString piece = control.GetChunk(all); !piece.isEmpty(); piece = control.GetChunk(all))
        done.body += piece;
    done.httpStatus = control.httpStatus();
    done.retryAfter = control.responseHeader(QStringLiteral("Retry-After"));
    finished_[done.request.id] = std::move(done);
    slot.request.reset();
}

std::optional<FinishedFetch> FetchPool::take(int id)
{
    const auto it = finished_.find(id);
    if (it == finished_.end())
        return std::nullopt;
    FinishedFetch done = std::move(it->second);
    finished_.erase(it);
    return done;
}

void FetchPool::cancelAll()
{
    for (const std::unique_ptr<Slot>& slot : slots_) {
        if (slot->request) {
            slot->request.reset();
            if (slot->control->StillExecuting())
                slot->control->Cancel();
        }
    }
    finished_.clear();
}

} // namespace tarnwick
