#include "net/buffered_response.h"

namespace tarnwick {

BufferedResponse::BufferedResponse(QString body, int httpStatus)
    : body_(std::move(body))
    , status_(httpStatus)
{
}

void BufferedResponse::Cancel()
{
    executing_ = false;
    body_ = QString();
    readPos_ = 0;
}

QString BufferedResponse::GetChunk(int size, int)
{
    return executing_ ? bodyPiece(body_, readPos_, size) : QString();
}

} // namespace tarnwick
