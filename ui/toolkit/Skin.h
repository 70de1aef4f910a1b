#pragma once
// The process-wide table of named colours. The colour file ":/styles/colors" is loaded into it at
// start-up, and the style sheet ":/styles/global" is read through it, each placeholder "@key"
// becoming the colour of that key. Widgets that paint themselves ask it for colours by key.
#include <QColor>
#include <QMap>
#include <QObject>
#include <QString>

class QWidget;

namespace OX
{

class Skin : public QObject
{
    Q_OBJECT
public:
    ~Skin() override;

    // The one instance, created on first call; safe from any thread.
    static Skin* instance();
    // A new skin with no parent and no colours (the instance is made with it).
    static Skin* createInstance();

    // The instance's colour for key, or opaque red when it has none.
    static QColor color(const QString& key);

    QColor colorByName(const QString& key) const;
    QColor operator[](const QString& key) const;

    // Replaces the colours from a JSON file whose object "skin" maps keys to "#..." colour
    // names. True when the file could be opened; a file without a "skin" object keeps the
    // colours as they were.
    bool load(const QString& fileName);

    // The style sheet's text with every placeholder "@key" replaced by the colour's "#rrggbb";
    // empty when the file cannot be opened.
    QString loadQSS(const QString& fileName);

    // The style sheet our windows and boxes carry (the global sheet as loadQSS made it); empty
    // until set. Never the whole application's: boxes of the system and of other programs keep
    // their own readable colours.
    void setStyleSheet(const QString& sheet);
    QString styleSheet() const;
    // Gives a window or a box of ours the skin's style sheet, before it is shown. A widget with a
    // parent of ours inherits it and needs no call. Nothing while no sheet is set.
    static void apply(QWidget* window);

signals:
    void skinChanged();

private:
    Skin();

    QMap<QString, QColor> colors;
    QString sheet;
};

} // namespace OX
