#include "ui/toolkit/Skin.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QWidget>
#include <QtDebug>

#include <algorithm>

namespace OX
{

namespace
{
const QColor kFallback(255, 0, 0, 255);
}

Skin::Skin() = default;

Skin::~Skin() = default;

Skin* Skin::createInstance()
{
    return new Skin;
}

Skin* Skin::instance()
{
    // Built once under the language's initialisation guard: a second thread asking while the
    // first builds it waits; the instance is deleted at process exit.
    struct Holder {
        Skin* skin = Skin::createInstance();
        ~Holder() { delete skin; }
    };
    static Holder holder;
    return holder.skin;
}

QColor Skin::color(const QString& key)
{
    return instance()->colorByName(key);
}

QColor Skin::colorByName(const QString& key) const
{
    return colors.value(key, kFallback);
}

QColor Skin::operator[](const QString& key) const
{
    return colorByName(key);
}

bool Skin::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning(
            "Couldn't open SKIN resource: %s - %s", qPrintable(fileName), qPrintable(file.errorString()));
        return false;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    const QJsonValue skin = doc.object().value(QStringLiteral("skin"));
    if (skin.isObject()) {
        colors.clear();
        const QJsonObject object = skin.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (!it.value().isString())
                continue;
            const QString name = it.value().toString();
            if (name.isEmpty() || !name.startsWith(QLatin1Char('#')))
                continue;
            colors.insert(it.key(), QColor(name));
        }
    }
    emit skinChanged();
    return true;
}

void Skin::setStyleSheet(const QString& styleSheet)
{
    sheet = styleSheet;
}

QString Skin::styleSheet() const
{
    return sheet;
}

void Skin::apply(QWidget* window)
{
    const QString styleSheet = instance()->sheet;
    if (window && !styleSheet.isEmpty())
        window->setStyleSheet(styleSheet);
}

QString Skin::loadQSS(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning("Couldn't open style sheet resource: %s", qPrintable(fileName));
        return QString();
    }
    QByteArray bytes = file.readAll();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    const QString text = QString::fromUtf8(bytes);
    // Longer keys first: a key that begins another one ("a" and "ab") must not take the
    // front of the longer placeholder and leave the rest of its name behind.
    QStringList keys = colors.keys();
    std::stable_sort(
        keys.begin(), keys.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QStringList names;
    names.reserve(keys.size());
    for (const QString& key : qAsConst(keys))
        names << colors.value(key).name(QColor::HexRgb);
    // One pass over the sheet: each "@" takes the longest key that follows it.
    QString filled;
    filled.reserve(text.size());
    int from = 0;
    for (int at = text.indexOf(QLatin1Char('@')); at >= 0; at = text.indexOf(QLatin1Char('@'), from)) {
        filled.append(text.midRef(from, at - from));
        const QStringRef rest = text.midRef(at + 1);
        const auto key = std::find_if(
            keys.cbegin(), keys.cend(), [&rest](const QString& k) { return rest.startsWith(k); });
        if (key == keys.cend()) {
            filled.append(QLatin1Char('@'));
            from = at + 1;
        } else {
            filled.append(names.at(int(key - keys.cbegin())));
            from = at + 1 + key->size();
        }
    }
    filled.append(text.midRef(from));
    return filled;
}

} // namespace OX
