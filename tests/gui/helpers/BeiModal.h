#pragma once
// Answers a modal dialog that a command opens and waits on: `tun` runs with the first
// visible modal widget of type W as soon as there is one.
#include <QApplication>
#include <QObject>
#include <QTimer>

#include <functional>
#include <utility>

namespace kdtest {

template <class W>
class BeiModal {
public:
    explicit BeiModal(std::function<void(W&)> tun) : tun_(std::move(tun)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* d = qobject_cast<W*>(QApplication::activeModalWidget());
            if (!d || !d->isVisible()) return;
            timer_.stop();
            ++geoeffnet;
            tun_(*d);
        });
        timer_.start();
    }
    // How often the dialog was seen and answered.
    int geoeffnet = 0;

private:
    std::function<void(W&)> tun_;
    QTimer timer_;
};

} // namespace kdtest
