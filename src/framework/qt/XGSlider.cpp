#include "framework/qt/XGSlider.h"

#include <QSlider>

#include "framework/qt/XGMessages.h"

XGSlider::XGSlider(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fSlider = new QSlider(Qt::Horizontal);
    fSlider->setRange(record.GetInt("min", 0), record.GetInt("max", 100));
    fSlider->setValue(record.GetInt("value", 0));
    QObject::connect(fSlider, &QSlider::actionTriggered, Bridge(), [this](int) {
        // the value changes after this signal
        QMetaObject::invokeMethod(Bridge(), [this] { Notify(kXGScrollMessage); }, Qt::QueuedConnection);
    });
    QObject::connect(fSlider, &QSlider::sliderMoved, Bridge(), [this](int) { Notify(kXGScrollMessage); });
    SetWidget(fSlider);
}

int32_t XGSlider::GetValue() const
{
    return fSlider->value();
}

void XGSlider::SetValue(int32_t value)
{
    fSlider->setValue(value);
}

void XGSlider::SetRange(int32_t minimum, int32_t maximum)
{
    fSlider->setRange(minimum, maximum);
}

void XGSlider::Slide(int32_t value)
{
    fSlider->setValue(value);
    Notify(kXGScrollMessage);
}
