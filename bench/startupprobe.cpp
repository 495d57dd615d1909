// SPDX-License-Identifier: MIT
// Start-up probe for the benchmark: starts either Tarvelin, exactly as its main() does, or an empty Qt
// Widgets window of the same size, and quits as soon as that window has painted for the first time.
#include "ui/application.h"
#include "ui/form1.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstPaintQuits : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FirstPaintQuits quitter;
#ifdef TARVELIN_PROBE_EMPTY
    QWidget window;
    window.setFixedSize(730, 245);
    window.installEventFilter(&quitter);
    window.show();
#else
    tarvelin::Application tarvelin;
    tarvelin.mainWindow().installEventFilter(&quitter);
#endif
    return QApplication::exec();
}
