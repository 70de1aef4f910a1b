// The sound module: the sound effects' output through QSound.
#include "ui/toolkit/SoundOutput.h"

#include <QObject>
#include <QSound>

namespace OX
{

namespace
{

class QSoundOutput : public SoundOutput
{
public:
    explicit QSoundOutput(const QString& fileName)
        : m_sound(fileName)
    {
    }
    void play() override { m_sound.play(); }
    bool isFinished() const override { return m_sound.isFinished(); }

private:
    QSound m_sound;
};

} // namespace

class QSoundOutputFactory : public QObject, public SoundOutputFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OX_SOUND_OUTPUT_FACTORY_IID)
    Q_INTERFACES(OX::SoundOutputFactory)
public:
    std::unique_ptr<SoundOutput> create(const QString& fileName) override
    {
        return std::make_unique<QSoundOutput>(fileName);
    }
};

} // namespace OX

#include "QSoundOutput.moc"
