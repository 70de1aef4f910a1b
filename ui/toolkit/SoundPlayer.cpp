#include "ui/toolkit/SoundPlayer.h"

#include <QSound>
#include <QtDebug>

namespace OX
{

SoundEffect::SoundEffect(const QString& fileName, QObject* parent)
    : QObject(parent)
    , name(fileName)
    , sound(new QSound(fileName, this))
{
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
    return !sound->isFinished();
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
