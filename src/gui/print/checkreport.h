// SPDX-License-Identifier: MIT
#pragma once

#include "core/nec/checksummary.h"
#include "core/nec/necmodel.h"

#include <QByteArray>

class QDateTime;
class QPageLayout;

namespace tarvelin {

// The antenna check on paper: a header with the program, the frequency and the date, the settings, the
// summary and the table, then the four plots, as a vector PDF on the given paper.
[[nodiscard]] QByteArray checkReportPdf(const std::string &frequencyText, const nec::CheckSettings &settings,
                                        const nec::CheckSummary &summary, const QPageLayout &layout,
                                        const QDateTime &when);

// The summary in one paragraph, as the window and the report state it.
[[nodiscard]] QString checkSummaryText(const nec::CheckSummary &summary, double z0Ohms);

} // namespace tarvelin
