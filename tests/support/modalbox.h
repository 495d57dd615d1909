// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

// Answers a real modal message box as a person would: runs `act` on the next box once it is up, from the
// box's own event loop. Gives the watch, so a test that expects no box can stop it.
inline QPointer<QTimer> whenBoxIsUp(std::function<void(QMessageBox &)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*box);
        }
    });
    poll->start();
    return poll;
}
