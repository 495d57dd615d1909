// SPDX-License-Identifier: MIT
#include "gui/windows/rows/designrow.h"

#include "core/design/designlengths.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>

namespace tarvelin {

int frequencyBoxWidth(const QLineEdit &box)
{
    const int margins = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box) * 2 +
                        box.textMargins().left() + box.textMargins().right() + 8;
    return box.fontMetrics().horizontalAdvance(QStringLiteral("1296.12345")) + margins;
}

DesignRow makeDesignRow()
{
    DesignRow row;
    row.frequency = new QLineEdit;
    row.frequency->setObjectName(QStringLiteral("frequency"));
    // Never squeezed below a frequency written out, as 1296.12345, in a narrow window or at a large scale.
    row.frequency->setMinimumWidth(frequencyBoxWidth(*row.frequency));
    row.elements = new QSpinBox;
    row.elements->setObjectName(QStringLiteral("elements"));
    row.elements->setRange(design::kFewestElements, design::kMostElements);
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
