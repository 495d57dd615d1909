// SPDX-License-Identifier: MIT
#include "gui/windows/rows/cutsincerow.h"

#include "core/shop/shopsettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace tarvelin {

CutSinceRow::CutSinceRow(QWidget *parent) : QWidget(parent)
{
    auto *label = new QLabel(QStringLiteral("Cut from the driven loop since the sweep before:"));
    m_cut = new QLineEdit;
    m_cut->setObjectName(QStringLiteral("cutSince"));
    m_cut->setAccessibleName(QStringLiteral("Cut from the driven loop since the sweep before"));
    m_cut->setPlaceholderText(QStringLiteral("the trim advised"));
    m_cut->setToolTip(QStringLiteral("What you cut from the driven loop before the latest sweep, as the sheet "
                                     "writes lengths or in any unit: 3-1/4, 82 mm; a wire added is negative. Left "
                                     "empty, the whole trim advised is taken as cut"));
    m_cut->setMaximumWidth(m_cut->fontMetrics().horizontalAdvance(QStringLiteral("the trim advised")) * 3 / 2);
    label->setBuddy(m_cut);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(m_cut);
    layout->addStretch(1);
    connect(m_cut, &QLineEdit::editingFinished, this, &CutSinceRow::changed);
}

std::optional<double> CutSinceRow::inches(QString *problem) const
{
    const auto read = shop::readCut(m_cut->text().toStdString());
    if (const auto *refusal = std::get_if<std::string>(&read)) {
        if (problem)
            *problem = QString::fromStdString(*refusal);
        return std::nullopt;
    }
    return std::get<std::optional<double>>(read);
}

void CutSinceRow::clear()
{
    m_cut->clear();
}

} // namespace tarvelin
