// SPDX-License-Identifier: MIT
#pragma once
// The exhaustive versions of the reference comparisons take minutes under the sanitizers. They run under
// `ctest -L slow` (`./dev test --slow`), which sets TARVELIN_EXHAUSTIVE; the everyday run skips them and says
// so, and proves the same with well-chosen inputs.
#include <QTest>

#define TARVELIN_EXHAUSTIVE_ONLY()                                                                                     \
    do {                                                                                                               \
        if (qEnvironmentVariableIsEmpty("TARVELIN_EXHAUSTIVE"))                                                        \
            QSKIP("exhaustive: runs under ctest -L slow");                                                             \
    } while (false)
