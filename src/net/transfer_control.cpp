#include "net/transfer_control.h"

namespace tarnwick {

QString stateText(int state)
{
    switch (state) {
    case TransferControl::icHostResolvingHost:
        return QStringLiteral("Looking up IP address of host computer");
    case TransferControl::icHostResolved: return QStringLiteral("IP address found");
    case TransferControl::icConnecting: return QStringLiteral("Attempting to connect to Host");
    case TransferControl::icConnected: return QStringLiteral("Connected");
    case TransferControl::icRequesting: return QStringLiteral("Making Request");
    case TransferControl::icRequestSent: return QStringLiteral("Request sent");
    case TransferControl::icReceivingResponse: return QStringLiteral("Chatting with Host...");
    case TransferControl::icResponseReceived: return QStringLiteral("Response received");
    case TransferControl::icDisconnecting: return QStringLiteral("Disconnecting");
    case TransferControl::icDisconnected: return QStringLiteral("Disconnected");
    default: return {};
    }
}

QString bodyPiece(const QString& body, qsizetype& readPos, int size)
{
    if (size <= 0)
        return {};
    qsizetype length = qMin<qsizetype>(size, body.size() - readPos);
    if (length > 1 && readPos + length < body.size() && body[readPos + length - 1].isHighSurrogate())
        --length;
    const QString piece = body.mid(readPos, length);
    readPos += length;
    return piece;
}

} // namespace tarnwick
