#include "app/window/Skin.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QWidget>

void ApplySkinFile(QWidget& window, const QByteArray& skinFile)
{
    const QColor buttonFace = window.palette().color(QPalette::Button);
    auto paint = [&](QWidget* widget) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, buttonFace);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    };
    paint(&window);
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(child) || qobject_cast<QCheckBox*>(child)
            || qobject_cast<QGroupBox*>(child) || qobject_cast<QLabel*>(child))
            paint(child);
    }
    window.setStyleSheet(QString::fromUtf8(skinFile));
}
