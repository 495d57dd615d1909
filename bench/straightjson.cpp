// SPDX-License-Identifier: MIT
// The floor tarvelin-calc's JSON batch is measured against: the same calculation, and the same JSON for each
// line of standard input, written straight out with nothing between, no options, no writers and no checks.
#include "core/calc/calculationpass.h"
#include "core/calc/memorygrid.h"
#include "core/runtime/runtimeerror.h"

#include <cstdio>
#include <iostream>
#include <string>

int main()
{
    using namespace tarvelin;
    std::ios::sync_with_stdio(false);
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string line;
    std::string out;
    calc::MemoryGrid grid;
    while (std::getline(std::cin, line)) {
        out.clear();
        grid.setFrequencyText(line);
        try {
            calc::calculateInto(grid);
        } catch (const RuntimeError &) {
            out = "{\"frequency\": \"" + line + "\", \"error\": \"\"}\n";
            std::fwrite(out.data(), 1, out.size(), stdout);
            continue;
        }
        out += "{\"frequency\": \"";
        out += line;
        out += "\", \"cells\": [";
        for (const calc::ElementRow row : calc::kElementRows) {
            if (row != calc::ElementRow::Reflector)
                out += ", ";
            out += '[';
            for (int c = 0; c < calc::columnCount(row); ++c) {
                if (c > 0)
                    out += ", ";
                out += '"';
                out += grid.cell(row, c);
                out += '"';
            }
            out += ']';
        }
        out += "], \"boom\": {\"feet\": \"";
        out += grid.boom(calc::BoomTotal::Feet);
        out += "\", \"inches\": \"";
        out += grid.boom(calc::BoomTotal::Inches);
        out += "\", \"centimetres\": \"";
        out += grid.boom(calc::BoomTotal::Centimetres);
        out += "\"}}\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
}
