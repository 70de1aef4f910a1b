#pragma once
// What the LINK form tests share: a form's child by name, every parametersChanged in order, and
// a screenshot of a form over the page's background (the forms paint none of their own).
#include "ui/toolkit/LinkForm.h"
#include "ui/toolkit/Skin.h"

#include "common/gui_util.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace linktest
{

template <class T> T* child(QWidget* parent, char const* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

struct Changes {
    explicit Changes(OX::LinkForm* form)
    {
        QObject::connect(form, &OX::LinkForm::parametersChanged, &context,
            [this](LPP::ChangeMask mask) { masks << mask.value; });
    }
    QList<quint32> masks;
    QObject context;
};

inline void saveOnPage(QWidget* form, QString const& name)
{
    QImage image(form->size(), QImage::Format_ARGB32);
    image.fill(OX::Skin::color("pageBackgroundColor"));
    QPainter painter(&image);
    form->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    testutil::saveScreenshot(image, name);
}

} // namespace linktest
