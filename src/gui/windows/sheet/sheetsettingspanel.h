// SPDX-License-Identifier: MIT
#pragma once

#include "core/design/feed.h"
#include "core/shop/shopsettings.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace tarvelin {

class BandsRow;

class CutSinceRow;
class MatchRow;
class ThroughRow;
struct ShopWindowSettings;

// The Shop Sheet's settings: a column of the design and the measurement beside a column of the cut and the
// feed, and under them the rows of what a sweep was taken through and what was cut since the one before. It
// says when a setting changed and when the design is meant; the window makes the sheet from what it reads.
class SheetSettingsPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit SheetSettingsPanel(QWidget *parent = nullptr);

    [[nodiscard]] QString frequencyText() const;
    // Sets the frequency as typed; the design is meant at once, so no pause in typing commits it later.
    void setFrequencyText(const QString &text);
    [[nodiscard]] int elements() const;
    void setElements(int elements);
    [[nodiscard]] QString measuredText() const;
    void setMeasuredText(const QString &text);
    // The step, the allowance and the hub offset as typed, for the same reader as tarvelin-calc's options.
    [[nodiscard]] shop::ShopSettingTexts texts() const;
    [[nodiscard]] double lineZ0Ohms() const;
    [[nodiscard]] design::Match match() const;
    // The bands of a quad of several bands, under the frequency; empty for the frequency's own design.
    [[nodiscard]] BandsRow *bandsRow() const { return m_bands; }
    [[nodiscard]] ThroughRow &through() const { return *m_through; }
    [[nodiscard]] CutSinceRow &cutSince() const { return *m_cutSince; }

    // Tuned loops are cut with the match and read on the line they were tuned for: shown, locked, while the
    // loops are; with none, the builder's own come back.
    void showTunedFeed(const std::optional<design::Match> &match, double z0Ohms);

    void restore(const ShopWindowSettings &stored);
    // The builder's own settings, the feed among them even while a tuned design's is shown; the measurement
    // is the window's to keep.
    void store(ShopWindowSettings &into) const;

    // The field a refusal is about: the setting's, or the frequency's where it names none.
    [[nodiscard]] QLineEdit *fieldOf(std::optional<shop::ShopSetting> setting) const;
    // Marks only `field` with the problem; none clears every mark.
    void markRefused(const QLineEdit *field, const QString &problem);

signals:
    // A setting the sheet is made from.
    void changed();
    // The design as meant: Enter, leaving the frequency, a pause in typing it, or another element count.
    void designCommitted();
    void measuredEdited();
    void fromSweepRequested();

private:
    [[nodiscard]] static QString lineTip();
    void buildFields();
    void layOut();
    void connectFields();

    QLineEdit *m_frequency = nullptr;
    QSpinBox *m_elements = nullptr;
    QComboBox *m_step = nullptr;
    QLineEdit *m_allowance = nullptr;
    QLineEdit *m_hubOffset = nullptr;
    QLineEdit *m_measured = nullptr;
    QPushButton *m_fromSweep = nullptr;
    QComboBox *m_line = nullptr;       // the feed line a sweep's SWR is read against
    MatchRow *m_match = nullptr;       // how the driven loop meets it, a quarter-wave section cut on the sheet
    ThroughRow *m_through = nullptr;   // what From Sweep's sweep was measured through
    CutSinceRow *m_cutSince = nullptr; // sweeps in turn: what was cut before the latest
    QTimer *m_commit = nullptr;        // a pause in typing the frequency commits it
    // The builder's own match and line, kept while tuned loops are shown with the ones they were tuned for.
    struct OwnFeed
    {
        design::Match match;
        double z0Ohms = 50.0;
    };
    std::optional<OwnFeed> m_ownFeed;
    BandsRow *m_bands = nullptr;
};

} // namespace tarvelin
