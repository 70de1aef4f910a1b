#pragma once
// One sound as the sound effects play it. The multimedia libraries behind it come from a module
// of their own, loaded with the first sound rather than with the application.
#include <QString>
#include <QtPlugin>

#include <memory>

namespace OX
{

class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void play() = 0;
    // True once the last play has ended (and before the first).
    virtual bool isFinished() const = 0;
};

class SoundOutputFactory
{
public:
    virtual ~SoundOutputFactory() = default;
    // The sound of a file or resource (":/sounds/...").
    virtual std::unique_ptr<SoundOutput> create(const QString& fileName) = 0;
};

// The sound module's factory, loaded on the first call; null when the module is missing or
// cannot be loaded (a warning says why, once): the sounds are then silent.
SoundOutputFactory* soundOutputFactory();

} // namespace OX

#define OX_SOUND_OUTPUT_FACTORY_IID "hu.brixeon.orvixtools.SoundOutputFactory/1.0"
Q_DECLARE_INTERFACE(OX::SoundOutputFactory, OX_SOUND_OUTPUT_FACTORY_IID)
