#pragma once

#include <QString>

namespace convodesk::fuzz {

// Writes a small desk database through our writer: Graduates (texts, Nulls, a memo, a few
// hundred rows over more than one page), Programme, the stored query Graduate (a LEFT JOIN)
// and stored queries of every other shape the engine runs or refuses: inner and right joins,
// aliases, WHERE and ORDER BY, DISTINCT, Access wildcards, a query over a query over a query,
// and TOP / GROUP BY / UNION / parameters that must be refused cleanly.
void writeQueryShapesFile(const QString& path);

// The same data with Graduate written as a plain table and no stored queries.
void writeGraduateTableFile(const QString& path);

// Gives every query run in this process 2 seconds and 512 MiB, so that many inputs run;
// scripts/fuzz-regression sets libFuzzer's own timeout and memory limit just above these, so
// a query that gets past them is reported.
void limitQueries();

} // namespace convodesk::fuzz
