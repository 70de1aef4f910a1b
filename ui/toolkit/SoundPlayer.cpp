#include "ui/toolkit/SoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>
#include <QtDebug>

namespace OX {

namespace {
QUrl sourceUrl(const QString& fileName)
{
    if (fileName.startsWith(QLatin1String(":/")))
        return QUrl(QLatin1String("qrc") + fileName);
    if (fileName.startsWith(QLatin1String("qrc:"), Qt::CaseInsensitive))
        return QUrl(fileName);
    return QUrl::fromLocalFile(fileName);
}
} // namespace

SoundEffect::SoundEffect(const QString& fileName, QObject* parent)
    : QObject(parent)
    , name(fileName)
    , sound(new QSoundEffect(this))
{
    sound->setSource(sourceUrl(fileName));
}

SoundEffect::~SoundEffect()
{
    qDebug().noquote() << "Sound effect:" << name << "deleted";
}

void SoundEffect::play()
{
    if (isSounding())
        return;
    start();
}

bool SoundEffect::isSounding() const
{
    return sound->isPlaying();
}

void SoundEffect::start()
{
    sound->play();
}

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
    effects.insert(ZEROINIT, new SoundEffect(QStringLiteral(":/sounds/zeroinit")));
    effects.insert(CHANNEL_ACTIVE, new SoundEffect(QStringLiteral(":/sounds/ch_active")));
    effects.insert(CHANNEL_PASSIVE, new SoundEffect(QStringLiteral(":/sounds/ch_passive")));
}

SoundPlayer::~SoundPlayer()
{
    qDeleteAll(effects);
}

void SoundPlayer::play(Sample sample)
{
    if (SoundEffect* effect = effects.value(sample, nullptr))
        effect->play();
}

} // namespace OX
