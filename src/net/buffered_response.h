#pragma once

#include "net/transfer_control.h"

namespace tarnwick {

/// A response whose body arrived earlier, served through the TransferControl interface so
/// that the response handler reads it exactly as it reads one arriving now: the same pieces,
/// and StillExecuting until cancelled. It only serves what the handler reads; Execute and
/// OpenURL start nothing.
class BufferedResponse : public TransferControl {
public:
    BufferedResponse(QString body, int httpStatus);

    std::unique_ptr<TransferControl> makeSibling() override { return nullptr; }
    void setRequestTimeout(int) override { }
    int RequestTimeout() const override { return 0; }
    void Execute(const QString&, const QString&, const QString&, const QString&) override { }
    bool StillExecuting() const override { return executing_; }
    void Cancel() override;
    QString GetChunk(int size, int type = 0) override;
    QString OpenURL(const QString&, int = 0) override { return {}; }
    int ResponseCode() const override { return 0; }
    QString ResponseInfo() const override { return {}; }
    int httpStatus() const override { return status_; }

private:
    QString body_;
    qsizetype readPos_ = 0;
    int status_;
    bool executing_ = true;
};

} // namespace tarnwick
