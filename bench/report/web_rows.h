// The browser build's rows of the benchmark report, measured in headless
// Chromium on the pages `make bench` builds first: build/web/ as a player
// gets it, and build/web-bench/ (bench/web/), the same game with its
// presents marked, with and without Asyncify.
#pragma once

#include <vector>

#include "row.h"

// The desktop's figures the browser's are set beside (the report measures
// them first, on the SDL backend under Xvfb).
struct DesktopFigures {
  double menu_cpu_share = 0;  // of one core
  double menu_median_ms = 0;
  double duel_median_ms = 0;
};

// `runs`: page loads for the start-up and processor rows (medians).
std::vector<Row> WebRows(const DesktopFigures& desktop, int runs);

// The desktop game in a duel nobody moves in (quarrelo_duel_idle under
// Xvfb): the median frame period, 0 when it could not be measured.
double DesktopDuelMedianMs();
