// One row of the benchmark report: a measured figure, what it is compared
// with and the target it is held to; and the report's number formats.
#pragma once

#include <cstdio>
#include <string>

struct Row {
  std::string name;      // the machine-readable row name
  std::string title;     // the table's text
  std::string ours;      // our figure, with its unit
  std::string compared;  // what it is compared with, and its figure
  double value = 0;      // the figure held to the target
  std::string unit;      // x, ms, MB
  bool at_most = true;   // target is an upper bound (else a lower bound)
  double target = 0;
  bool has_target = true;  // false: the figure is for information
  bool measured = false;   // false: the measurement itself failed
  std::string note;        // why it was not measured
  bool met() const { return measured && (at_most ? value <= target : value >= target); }
};

// A figure kept for information, held to no target.
inline Row InfoRow(const char* name, const char* title, const char* unit) {
  Row row;
  row.name = name;
  row.title = title;
  row.unit = unit;
  row.has_target = false;
  return row;
}

inline Row MakeRow(const char* name, const char* title, const char* unit, bool at_most, double target) {
  Row row;
  row.name = name;
  row.title = title;
  row.unit = unit;
  row.at_most = at_most;
  row.target = target;
  return row;
}

inline std::string format(const char* fmt, double a, double b = 0) {
  char text[128];
  std::snprintf(text, sizeof text, fmt, a, b);
  return text;
}

inline std::string duration(double seconds) {
  if (seconds >= 1e-3) return format("%.2f ms", seconds * 1e3);
  if (seconds >= 1e-6) return format("%.2f us", seconds * 1e6);
  return format("%.1f ns", seconds * 1e9);
}
