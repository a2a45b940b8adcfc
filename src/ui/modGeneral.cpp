#include "modGeneral.h"

#include "Twips.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace convodesk::ui {

namespace {

constexpr const char* topProperty = "convodeskTwipsTop";
constexpr const char* leftProperty = "convodeskTwipsLeft";

// How many timed waits are running (nested in each other), and what waits for them to end.
int runningWaits = 0;
std::vector<QPointer<QObject>>& deleteAfterWaits() {
    static std::vector<QPointer<QObject>> objects;
    return objects;
}

void centreIn(const QWidget& parentClient, QWidget& child) {
    const float parentWidth = static_cast<float>(pixelsToTwips(parentClient.width()));
    const float parentHeight = static_cast<float>(pixelsToTwips(parentClient.height()));
    const float childWidth = static_cast<float>(pixelsToTwips(child.width()));
    const float childHeight = static_cast<float>(pixelsToTwips(child.height()));
    const TwipsPosition at = centredPosition(parentWidth, parentHeight, childWidth, childHeight);
    child.setProperty(topProperty, at.top);
    child.setProperty(leftProperty, at.left);
    child.move(twipsToPixels(at.left), twipsToPixels(at.top));
}

} // namespace

TwipsPosition centredPosition(float parentClientWidth, float parentClientHeight, float childWidth,
                              float childHeight) {
    TwipsPosition at;
    at.top = (parentClientHeight - childHeight) / 2.0f;
    at.left = (parentClientWidth - childWidth) / 2.0f;
    return at;
}

void CenterForm(const QWidget& parentClient, QWidget& child) {
    centreIn(parentClient, child);
}

void CenterFrame(const QWidget& parentClient, QWidget& frame) {
    centreIn(parentClient, frame);
}

TwipsPosition placedTwips(const QWidget& widget) {
    TwipsPosition at;
    at.top = widget.property(topProperty).toFloat();
    at.left = widget.property(leftProperty).toFloat();
    return at;
}

void WaitSeconds(double seconds) {
    if (!(seconds > 0))
        return;
    // Longer waits than a day are cut to a day; nobody asks for more.
    const std::int64_t total = static_cast<std::int64_t>(std::ceil(std::min(seconds, 86400.0) * 1e9));
    QElapsedTimer clock;
    clock.start();
    ++runningWaits;
    const auto done = qScopeGuard([] {
        if (--runningWaits > 0)
            return;
        // Posted from the handler that waited: deleted after it has returned.
        for (const QPointer<QObject>& object : std::exchange(deleteAfterWaits(), {}))
            if (object)
                object->deleteLater();
    });
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // A timer may fire a little early; wait again for whatever is left.
    for (std::int64_t elapsed = clock.nsecsElapsed(); elapsed < total; elapsed = clock.nsecsElapsed()) {
        const std::int64_t remainingMs = (total - elapsed + 999'999) / 1'000'000;
        timer.start(static_cast<int>(remainingMs));
        loop.exec();
    }
}

void deleteOutsideWaits(QObject* object) {
    if (!object)
        return;
    if (runningWaits == 0)
        object->deleteLater();
    else
        deleteAfterWaits().emplace_back(object);
}

} // namespace convodesk::ui
