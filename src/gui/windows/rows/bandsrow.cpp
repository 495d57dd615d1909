// SPDX-License-Identifier: MIT
#include "gui/windows/rows/bandsrow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace tarvelin {

BandsRow::BandsRow(QWidget *parent) : QWidget(parent)
{
    m_bands = new QLineEdit;
    m_bands->setObjectName(QStringLiteral("bands"));
    m_bands->setAccessibleName(QStringLiteral("Bands"));
    m_bands->setPlaceholderText(QStringLiteral("20m, 15m, 10m"));
    m_bands->setToolTip(QStringLiteral("A quad of several bands, their loops nested on one set of spreaders: "
                                       "the bands by name or by design frequency. Empty: the frequency's design."));
    m_layout = new QComboBox;
    m_layout->setObjectName(QStringLiteral("bandsLayout"));
    m_layout->setAccessibleName(QStringLiteral("Layout of the bands' loops"));
    m_layout->addItem(QStringLiteral("Spider"), static_cast<int>(design::NestedLayout::Spider));
    m_layout->addItem(QStringLiteral("Boom"), static_cast<int>(design::NestedLayout::Boom));
    m_idle = new QComboBox;
    m_idle->setObjectName(QStringLiteral("idleEnd"));
    m_idle->setAccessibleName(QStringLiteral("Idle drivers"));
    m_idle->addItem(QStringLiteral("Idle closed"), static_cast<int>(design::IdleEnd::Kind::Short));
    m_idle->addItem(QStringLiteral("Idle open"), static_cast<int>(design::IdleEnd::Kind::Open));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bands, 1);
    layout->addWidget(m_layout);
    layout->addWidget(m_idle);
    setTabOrder(m_bands, m_layout);
    setTabOrder(m_layout, m_idle);
    const auto enable = [this] {
        const bool several = m_bands->text().contains(QLatin1Char(','));
        m_layout->setEnabled(several);
        m_idle->setEnabled(several);
        emit changed();
    };
    connect(m_bands, &QLineEdit::textChanged, this, enable);
    connect(m_layout, &QComboBox::currentIndexChanged, this, &BandsRow::changed);
    connect(m_idle, &QComboBox::currentIndexChanged, this, &BandsRow::changed);
    enable();
}

BandsRow *BandsRow::addTo(QFormLayout &form)
{
    auto *row = new BandsRow;
    auto *label = new QLabel(QStringLiteral("&Quad bands:"));
    label->setBuddy(row->m_bands);
    form.addRow(label, row);
    return row;
}

std::variant<std::optional<BandsRow::Choice>, QString> BandsRow::read() const
{
    if (m_bands->text().trimmed().isEmpty())
        return std::optional<Choice>();
    auto bands = design::readBands(m_bands->text().toStdString());
    if (const auto *refusal = std::get_if<std::string>(&bands))
        return QString::fromStdString(*refusal);
    Choice choice;
    choice.bands = std::get<std::vector<design::Band>>(std::move(bands));
    choice.nested.layout = static_cast<design::NestedLayout>(m_layout->currentData().toInt());
    choice.idle.kind = static_cast<design::IdleEnd::Kind>(m_idle->currentData().toInt());
    return std::optional<Choice>(std::move(choice));
}

void BandsRow::placeInTabOrder(QWidget *before, QWidget *after) const
{
    QWidget *previous = before;
    for (QWidget *field : {static_cast<QWidget *>(m_bands), static_cast<QWidget *>(m_layout),
                           static_cast<QWidget *>(m_idle), after}) {
        setTabOrder(previous, field);
        previous = field;
    }
}

void BandsRow::setChoice(const Choice &choice)
{
    QStringList names;
    for (const design::Band &band : choice.bands)
        names << QString::fromStdString(band.name);
    m_bands->setText(names.join(QStringLiteral(", ")));
    m_layout->setCurrentIndex(std::max(0, m_layout->findData(static_cast<int>(choice.nested.layout))));
    const auto idle = choice.idle.kind == design::IdleEnd::Kind::Open ? design::IdleEnd::Kind::Open
                                                                      : design::IdleEnd::Kind::Short;
    m_idle->setCurrentIndex(std::max(0, m_idle->findData(static_cast<int>(idle))));
}

QWidget *BandsRow::lastField() const
{
    return m_idle;
}

QString BandsRow::key(int elements) const
{
    return m_bands->text().simplified() + QLatin1Char('|') + QString::number(m_layout->currentIndex()) +
           QLatin1Char('|') + QString::number(m_idle->currentIndex()) + QLatin1Char('|') + QString::number(elements);
}

QString BandsRow::text() const
{
    return m_bands->text();
}

void BandsRow::setText(const QString &text)
{
    m_bands->setText(text);
}

} // namespace tarvelin
