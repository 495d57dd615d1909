// SPDX-License-Identifier: MIT
#include "gui/windows/rows/velocityfactordialog.h"

#include "core/format/fieldtext.h"
#include "core/measure/stubsweep.h"
#include "gui/windows/userfiles.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvelin {

VelocityFactorDialog::VelocityFactorDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("velocityFactorDialog"));
    setWindowTitle(QStringLiteral("Measure Velocity Factor"));
    auto *intro = new QLabel(QStringLiteral(
        "Cut a piece of the cable, leave its far end open, and sweep it with the analyser across the frequency "
        "where it is a quarter wavelength long: about 50 MHz for 1 m of solid polyethylene cable."));
    intro->setWordWrap(true);
    m_length = new QLineEdit;
    m_length->setObjectName(QStringLiteral("pieceLength"));
    m_length->setAccessibleName(QStringLiteral("Length of the piece"));
    m_length->setPlaceholderText(QStringLiteral("e.g. 1 m or 39-3/8 in"));
    m_sweep = new QLineEdit;
    m_sweep->setObjectName(QStringLiteral("pieceSweep"));
    m_sweep->setAccessibleName(QStringLiteral("Sweep of the piece"));
    auto *browse = new QPushButton(QStringLiteral("&Browse\u2026"));
    browse->setObjectName(QStringLiteral("browsePieceSweep"));
    browse->setAutoDefault(false);
    auto *sweepRow = new QHBoxLayout;
    sweepRow->addWidget(m_sweep, 1);
    sweepRow->addWidget(browse);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Piece's &length, connector to open end:"), m_length);
    form->addRow(QStringLiteral("&Sweep of the piece:"), sweepRow);
    m_result = new QLabel;
    m_result->setObjectName(QStringLiteral("pieceReading"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    // Not the dialog's default: Enter in a field reads the factor, and using it is a step of its own, once it
    // has been seen.
    m_use = buttons->addButton(QStringLiteral("&Use It"), QDialogButtonBox::ActionRole);
    m_use->setObjectName(QStringLiteral("useVelocityFactor"));
    m_use->setEnabled(false);
    for (QAbstractButton *button : buttons->buttons())
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_result);
    layout->addStretch(1);
    layout->addWidget(buttons);
    connect(m_use, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &VelocityFactorDialog::browse);
    connect(m_length, &QLineEdit::editingFinished, this, &VelocityFactorDialog::read);
    connect(m_sweep, &QLineEdit::editingFinished, this, &VelocityFactorDialog::read);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

void VelocityFactorDialog::browse()
{
    const QString path = chooseSweepPath(this, QStringLiteral("Open the sweep of the piece"));
    if (path.isEmpty())
        return;
    m_sweep->setText(path);
    read();
}

// Reads the factor as soon as both the length and the sweep are given; what is missing or refused is said in
// the dialog, and nothing can be used until a factor is read.
void VelocityFactorDialog::read()
{
    m_velocityFactor.reset();
    m_use->setEnabled(false);
    m_use->setText(QStringLiteral("&Use It"));
    if (m_length->text().trimmed().isEmpty() || m_sweep->text().trimmed().isEmpty()) {
        m_result->clear();
        return;
    }
    const auto length = measure::readStubLength(m_length->text().toStdString());
    if (const auto *refusal = std::get_if<std::string>(&length)) {
        m_result->setText(QString::fromStdString(*refusal));
        return;
    }
    const QString path = m_sweep->text().trimmed();
    const QString name = QFileInfo(path).fileName();
    const SmallFile file = readSmallFile(path, QStringLiteral("analyser's sweep"));
    std::variant<touchstone::Sweep, std::string> sweep =
        file.text ? touchstone::readSweep(*file.text, name.toStdString()) : file.refusal;
    if (const auto *refusal = std::get_if<std::string>(&sweep)) {
        m_result->setText(QString::fromStdString(*refusal));
        return;
    }
    const double metres = std::get<double>(length);
    const auto reading = measure::stubVelocityFactor(std::get<touchstone::Sweep>(sweep), metres);
    if (const auto *refusal = std::get_if<std::string>(&reading)) {
        m_result->setText(name + QStringLiteral(": ") + QString::fromStdString(*refusal));
        return;
    }
    const measure::StubReading &measured = std::get<measure::StubReading>(reading);
    // The factor as shown, three decimals, is the one used.
    m_velocityFactor = std::round(measured.velocityFactor * 1000.0) / 1000.0;
    m_result->setText(QString::fromStdString(measure::stubReadingText(measured, metres)));
    m_use->setText(QStringLiteral("&Use %1").arg(*m_velocityFactor, 0, 'f', 3));
    m_use->setEnabled(true);
}

} // namespace tarvelin
