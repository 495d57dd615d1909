// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/arraydesign.h"
#include "gui/windows/rows/matchrow.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tarvelin {

class BandsRow;
struct DesignRow;

struct CheckWindowSettings;

// The Antenna Check's design and model settings: the frequency, the elements, the wire and its jacket, the
// segments, the sweep, the feed line and the ground, in two columns. It reads them through the same reader as
// tarvelin-calc's options, so both refuse alike, and marks the field a refusal is about.
class CheckSettingsPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit CheckSettingsPanel(QWidget *parent = nullptr);

    [[nodiscard]] QString frequencyText() const;
    void setFrequencyText(const QString &text);
    [[nodiscard]] int elements() const;
    // The line the sweep's SWR is read on, before any check has run.
    [[nodiscard]] double z0Ohms() const;
    [[nodiscard]] int points() const;

    // The settings as they stand, or why they cannot be used.
    [[nodiscard]] std::optional<design::CheckSettings> read(QString &problem) const;

    // The settings and the design they model, checked as they stand: a refusal is named, its field marked,
    // and how the frequency text was read is shown under the fields where it is more than its number.
    struct Checked
    {
        std::optional<design::CheckSettings> settings;
        std::optional<design::Design> design;
        QString problem;
    };
    [[nodiscard]] Checked check();

    void restore(const CheckWindowSettings &stored);
    void store(CheckWindowSettings &into) const;

    // The feed's resistance at resonance of the check shown, or of its tuned design once tuned, for the ideal
    // quarter-wave section beside the match.
    void showFeedResistance(std::optional<double> ohms, MatchRow::Feed of = MatchRow::Feed::Checked);

    // Whether Enter in this widget runs the check: it is one of the fields.
    [[nodiscard]] bool isField(const QWidget *widget) const;
    [[nodiscard]] QWidget *lastField() const;
    // The bands of a quad of several bands, under the frequency; empty for the frequency's own design.
    [[nodiscard]] BandsRow *bandsRow() const { return m_bands; }

signals:
    void changed();

private:
    void buildModelFields();
    void buildJacketFields();
    void layOut(const DesignRow &design);
    QLineEdit *m_frequency = nullptr;
    QSpinBox *m_elements = nullptr;
    QDoubleSpinBox *m_wireMm = nullptr;
    QComboBox *m_awg = nullptr;
    QSpinBox *m_segments = nullptr;
    QDoubleSpinBox *m_span = nullptr;
    QSpinBox *m_points = nullptr;
    QComboBox *m_z0 = nullptr;
    QCheckBox *m_copper = nullptr;
    QComboBox *m_jacket = nullptr;
    QDoubleSpinBox *m_insulationMm = nullptr;
    QDoubleSpinBox *m_permittivity = nullptr;
    QCheckBox *m_overGround = nullptr;
    QLineEdit *m_height = nullptr;
    QLabel *m_reading = nullptr; // how the frequency text was read, where it is more than its number
    MatchRow *m_match = nullptr;
    BandsRow *m_bands = nullptr;
};

} // namespace tarvelin
