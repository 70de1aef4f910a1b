#include "ui/toolkit/SoundPlayer.h"

#include "ui/toolkit/Modules.h"
#include "ui/toolkit/SoundOutput.h"

#include <QtDebug>

namespace OX
{

SoundEffect::SoundEffect(const QString& fileName, QObject* parent)
    : QObject(parent)
    , name(fileName)
{
    if (SoundOutputFactory* factory = soundOutputFactory())
        sound = factory->create(fileName);
}

SoundEffect::~SoundEffect()
{
    qDebug().noquote() << "Sound effect:" << name << "deleted";
}

void SoundEffect::play()
{
    if (isSounding() && started.isValid() && !started.hasExpired(LongestPlayMs))
        return;
    started.start();
    start();
}

bool SoundEffect::isSounding() const
{
    return sound && !sound->isFinished();
}

void SoundEffect::start()
{
    if (sound)
        sound->play();
}

SoundOutputFactory* soundOutputFactory()
{
    return qobject_cast<SoundOutputFactory*>(loadModule(QStringLiteral(ORVIX_SOUND_MODULE)));
}

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
}

SoundEffect* SoundPlayer::effect(Sample sample) const
{
    if (SoundEffect* made = effects.value(sample, nullptr))
        return made;
    QString fileName;
    switch (sample) {
    case ZEROINIT:
        fileName = QStringLiteral(":/sounds/zeroinit");
        break;
    case CHANNEL_ACTIVE:
        fileName = QStringLiteral(":/sounds/ch_active");
        break;
    case CHANNEL_PASSIVE:
        fileName = QStringLiteral(":/sounds/ch_passive");
        break;
    default:
        return nullptr;
    }
    auto* made = new SoundEffect(fileName, const_cast<SoundPlayer*>(this));
    effects.insert(sample, made);
    return made;
}

SoundPlayer::~SoundPlayer()
{
    qDeleteAll(effects);
}

void SoundPlayer::play(Sample sample)
{
    if (SoundEffect* made = effect(sample))
        made->play();
}

} // namespace OX
