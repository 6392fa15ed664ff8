#include "StileFuoco.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

class StileFuoco : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement elemento, const QStyleOption* opzione, QPainter* pittore,
                     const QWidget* widget) const override
    {
        QProxyStyle::drawControl(elemento, opzione, pittore, widget);
        if (elemento != CE_PushButtonLabel || !(opzione->state & State_HasFocus))
            return;
        pittore->save();
        pittore->setPen(QPen(opzione->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
        pittore->setBrush(Qt::NoBrush);
        pittore->drawRect(opzione->rect.adjusted(1, 1, -2, -2));
        pittore->restore();
    }
};

}  // namespace

void UsaStileFuoco() { QApplication::setStyle(new StileFuoco(QApplication::style()->name())); }
