#pragma once
// The style of a slider's groove: a click anywhere on it, with any mouse button, puts the handle
// there at once instead of paging towards it. Everything else is the base style's.
#include <QProxyStyle>

namespace OX
{

class SliderStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // A style of the same kind as current (a fresh instance that this style owns).
    explicit SliderStyle(QStyle* current);

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
        QStyleHintReturn* returnData = nullptr) const override;
};

} // namespace OX
