// SPDX-License-Identifier: MIT
#pragma once

#include "core/check/checksummary.h"
#include "core/measure/measured.h"
#include "core/design/arraydesign.h"

#include <QByteArray>

class QDateTime;
class QPageLayout;

namespace tarvelin {

// The antenna check on paper: a header with the program, the frequency and the date, the settings, the
// verdict, its warnings and the table, then the four plots, as a vector PDF on the given paper. Measured
// sweeps, oldest first, go beside the verdict (the latest) and on the plots (every one).
[[nodiscard]] QByteArray checkReportPdf(const std::string &frequencyText, const design::CheckSettings &settings,
                                        const check::CheckSummary &summary, const QPageLayout &layout,
                                        const QDateTime &when, std::span<const measure::MeasuredSweep> sweeps = {},
                                        const check::Goals &goals = {});

} // namespace tarvelin
