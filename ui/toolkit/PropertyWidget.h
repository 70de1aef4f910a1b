#pragma once
// One row of a key and value list: a small icon button, the key in bold, then the value.
// addParameterTo puts one such row per parameter into a list widget.
#include <QColor>
#include <QString>
#include <QWidget>

#include <memory>

namespace Ui
{
class PropertyWidget;
}

namespace OX
{

class IconButton;

class PropertyWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString icon READ icon WRITE setIcon NOTIFY iconChanged)
    Q_PROPERTY(QColor iconColor READ iconColor WRITE setIconColor NOTIFY iconColorChanged)
    Q_PROPERTY(QString key READ key WRITE setKey NOTIFY keyChanged)
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
public:
    static constexpr QSize SizeHint { 275, 32 };

    explicit PropertyWidget(QWidget* parent = nullptr);
    ~PropertyWidget() override;

    QSize sizeHint() const override;

    QString icon() const { return m_icon; }
    QColor iconColor() const { return m_iconColor; }
    QString key() const { return m_key; }
    QString value() const { return m_value; }

    // Shows the image at path on the button in its own colours.
    void setIcon(const QString& path);
    // Tints the icon the button shows now; a later setIcon shows its image untinted.
    void setIconColor(const QColor& color);
    void setKey(const QString& key);
    void setValue(const QString& value);

    IconButton* iconButton() const;
    QString keyText() const;
    QString valueText() const;

signals:
    // Declared with the properties; the setters do not emit them.
    void iconChanged();
    void iconColorChanged(const QColor& color);
    void keyChanged();
    void valueChanged();

private:
    QString m_icon;
    QColor m_iconColor;
    QString m_key;
    QString m_value;
    std::unique_ptr<Ui::PropertyWidget> m_ui;
};

} // namespace OX
