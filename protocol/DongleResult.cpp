#include "protocol/DongleResult.h"

#include <QCoreApplication>

constexpr const char DongleResult::ErrorDomain[];

DongleResult::DongleResult()
    : DongleResult(Ok)
{
}

DongleResult::DongleResult(int c, const QString& d)
    : code(c)
    , domain(QString::fromLatin1(ErrorDomain))
{
    finalizeErrorTexts();
    detail = d;
}

const char* DongleResult::textForCode(int c)
{
    switch (c) {
    case Ok: return QT_TRANSLATE_NOOP("QObject", "Ok");
    case ChecksumMismatch: return QT_TRANSLATE_NOOP("QObject", "Checksum mismatch");
    case InvalidResponse: return QT_TRANSLATE_NOOP("QObject", "Invalid response");
    case CommandQueueEmpty: return QT_TRANSLATE_NOOP("QObject", "Command queue is empty");
    case TimedOut: return QT_TRANSLATE_NOOP("QObject", "Operation timed out");
    case QueryChannelMapFailed: return QT_TRANSLATE_NOOP("QObject", "Query channel map failed");
    case NoHeadset: return QT_TRANSLATE_NOOP("QObject", "No headset connected");
    case HeadsetActive: return QT_TRANSLATE_NOOP("QObject", "Headset is active");
    case InvalidCommand: return QT_TRANSLATE_NOOP("QObject", "Invalid command");
    case InvalidRevision: return QT_TRANSLATE_NOOP("QObject", "Invalid revision");
    case Exception: return QT_TRANSLATE_NOOP("QObject", "Exception");
    case InvalidDongleState: return QT_TRANSLATE_NOOP("QObject", "Invalid dongle state");
    case NotInServiceMode: return QT_TRANSLATE_NOOP("QObject", "Dongle is not in service mode");
    case Refused: return QT_TRANSLATE_NOOP("QObject", "Refused by the device");
    case DongleRemoved: return QT_TRANSLATE_NOOP("QObject", "Dongle removed");
    case NoDongle: return QT_TRANSLATE_NOOP("QObject", "No dongle connected");
    case NotImplemented: return QT_TRANSLATE_NOOP("QObject", "Not implemented");
    default: return QT_TRANSLATE_NOOP("QObject", "Unknwon error");
    }
}

void DongleResult::finalizeErrorTexts()
{
    text = QCoreApplication::translate("QObject", textForCode(code));
}

QString DongleResult::toStringHelper() const
{
    return QStringLiteral("%1:%2 \"%3\" (%4)").arg(domain).arg(code).arg(text, detail);
}
