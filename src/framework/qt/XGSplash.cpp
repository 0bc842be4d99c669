#include "framework/qt/XGSplash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <chrono>

#include "framework/qt/XGPictures.h"

XGSplash::XGSplash() = default;
XGSplash::~XGSplash() = default;

void XGSplash::Show(int64_t now)
{
    QPixmap picture = XGGetPicture(128);
    auto* label = new QLabel;
    label->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    label->setPixmap(picture);
    int border = QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(border);
    label->setAlignment(Qt::AlignCenter);
    QSize size = picture.size() + QSize(2 * border, 2 * border);
    label->resize(size);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        label->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    fWindow.reset(label);
    fWindow->show();
    fCloseTime = now + kMinimumMilliseconds;
}

bool XGSplash::IsShown() const
{
    return fWindow && fWindow->isVisible();
}

void XGSplash::Finish(int64_t now, const std::function<void(int64_t)>& wait)
{
    if (!fWindow) return;
    if (now < fCloseTime && wait) wait(fCloseTime - now);
    fWindow.reset();
}

int64_t XGSplash::Now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void XGSplash::WaitTurning(int64_t ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(std::max<int64_t>(1, ms - timer.elapsed())));
}
