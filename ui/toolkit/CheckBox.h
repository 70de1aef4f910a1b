#pragma once
// The check box of the appearance page: a plain QCheckBox that the style sheet draws like every
// other check box, with one colour property the style sheet may set (nothing reads it).
#include <QCheckBox>
#include <QColor>

namespace OX
{

class CheckBox : public QCheckBox
{
    Q_OBJECT
    Q_PROPERTY(QColor imageColor READ imageColor WRITE setImageColor NOTIFY imageColorChanged)
public:
    explicit CheckBox(QWidget* parent = nullptr);

    // Invalid until set; setting it stores it and changes nothing that is seen.
    QColor imageColor() const { return m_imageColor; }
    void setImageColor(const QColor& color) { m_imageColor = color; }

signals:
    // Declared for the property; the class never emits it.
    void imageColorChanged(const QColor& color);

private:
    QColor m_imageColor;
};

} // namespace OX
