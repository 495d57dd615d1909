// SPDX-License-Identifier: MIT
#include "gui/windows/designrow.h"

#include "core/calc/designlengths.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace tarvelin {

DesignRow makeDesignRow()
{
    DesignRow row;
    row.frequency = new QLineEdit;
    row.frequency->setObjectName(QStringLiteral("frequency"));
    row.elements = new QSpinBox;
    row.elements->setObjectName(QStringLiteral("elements"));
    row.elements->setRange(kFewestElements, kMostElements);
    row.elements->setSuffix(QStringLiteral(" elements"));
    row.elements->setAccessibleName(QStringLiteral("Elements"));
    row.elements->setToolTip(QStringLiteral("The reflector, the driven element and the first directors of the design"));
    row.layout = new QHBoxLayout;
    row.layout->addWidget(row.frequency, 1);
    auto *elementsLabel = new QLabel(QStringLiteral("Arra&y:"));
    elementsLabel->setBuddy(row.elements);
    row.layout->addWidget(elementsLabel);
    row.layout->addWidget(row.elements);
    row.label = new QLabel(QStringLiteral("&Frequency (MHz):"));
    row.label->setBuddy(row.frequency);
    return row;
}

} // namespace tarvelin
