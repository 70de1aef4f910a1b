#pragma once
// The framed icon button of the forms. Its icon is a single-colour shape coloured by iconColor,
// which the style sheet sets by the button's state (enabled, disabled) and by its mode ("button",
// "help", "info").
#include <QColor>
#include <QString>
#include <QToolButton>

namespace OX
{

class IconButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(QColor iconColor READ iconColor WRITE setIconColor NOTIFY iconColorChanged)
    Q_PROPERTY(QString mode READ mode WRITE setMode NOTIFY modeChanged)
public:
    explicit IconButton(QWidget* parent = nullptr);

    QColor iconColor() const { return m_iconColor; }
    // Stores the colour and replaces the current icon by a copy tinted with it (at iconSize()).
    void setIconColor(const QColor& color);

    QString mode() const { return m_mode; }
    void setMode(const QString& mode) { m_mode = mode; }

signals:
    // Declared for the style sheet; the writes do not emit them.
    void iconColorChanged(const QColor& color);
    void modeChanged(const QString& mode);

private:
    QColor m_iconColor;
    QString m_mode = QStringLiteral("button");
};

} // namespace OX
