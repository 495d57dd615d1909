// SPDX-License-Identifier: MIT
#include "gui/windows/rows/cablechoice.h"

#include "core/design/coaxtable.h"
#include "gui/windows/rows/velocityfactordialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace tarvelin {

QComboBox *newCableBox(const QString &objectName, const QString &accessibleName)
{
    auto *box = new QComboBox;
    box->setObjectName(objectName);
    box->setAccessibleName(accessibleName);
    box->addItem(QStringLiteral("typed line"), QString());
    for (const design::CoaxCable &cable : design::coaxCables()) {
        const QString name = QString::fromUtf8(cable.name.data(), static_cast<qsizetype>(cable.name.size()));
        box->addItem(name, name);
        box->setItemData(
            box->count() - 1,
            QStringLiteral("%1, %2 \u03a9, velocity factor %3 nominal")
                .arg(QString::fromUtf8(cable.makerPart.data(), static_cast<qsizetype>(cable.makerPart.size())))
                .arg(cable.z0Ohms, 0, 'f', 0)
                .arg(cable.velocityFactor, 0, 'f', 2),
            Qt::ToolTipRole);
    }
    box->setToolTip(QStringLiteral("A cable from the makers' sheets, with its impedance, its nominal velocity "
                                   "factor and its loss, or a line typed by its figures"));
    return box;
}

const design::CoaxCable *chosenCable(const QComboBox *box)
{
    const QString name = box->currentData().toString();
    return name.isEmpty() ? nullptr : design::findCoaxCable(name.toStdString());
}

void chooseCable(QComboBox *box, std::string_view name)
{
    const design::CoaxCable *cable = design::findCoaxCable(name);
    box->setCurrentIndex(cable ? std::max(0, box->findData(QString::fromUtf8(
                                                 cable->name.data(), static_cast<qsizetype>(cable->name.size()))))
                               : 0);
}

void takeCable(const QComboBox *box, QDoubleSpinBox *z0, QDoubleSpinBox *velocityFactor)
{
    if (const design::CoaxCable *cable = chosenCable(box)) {
        const QSignalBlocker quiet(z0);
        const QSignalBlocker quietToo(velocityFactor);
        z0->setValue(cable->z0Ohms);
        velocityFactor->setValue(cable->velocityFactor);
    }
}

QPushButton *newMeasureButton(const QString &objectName, QDoubleSpinBox *velocityFactor)
{
    auto *button = new QPushButton(QStringLiteral("Measure\u2026"));
    button->setObjectName(objectName);
    button->setAccessibleName(QStringLiteral("Measure the velocity factor"));
    button->setToolTip(QStringLiteral("Read the cable's velocity factor from a sweep of a cut piece of it, open at "
                                      "its far end"));
    QObject::connect(button, &QPushButton::clicked, velocityFactor, [button, velocityFactor] {
        auto *dialog = new VelocityFactorDialog(button->window());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QDialog::accepted, velocityFactor, [dialog, velocityFactor] {
            if (const std::optional<double> measured = dialog->velocityFactor())
                velocityFactor->setValue(*measured);
        });
        dialog->open();
    });
    return button;
}

} // namespace tarvelin
