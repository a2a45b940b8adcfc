#pragma once

#include <QString>

namespace convodesk::fuzz {

// Writes a small desk database through our writer: Graduates (texts, Nulls, a memo, a few
// hundred rows over more than one page), Programme, the stored query Graduate (a LEFT JOIN)
// and stored queries of every other shape the engine runs or refuses: inner and right joins,
// aliases, WHERE and ORDER BY, DISTINCT, Access wildcards, a query over a query over a query,
// TOP, GROUP BY, one asking for a parameter, rings of join rows (Ring; OuterRing, refused)
// and a chain of 31 unions (UnionChain).
void writeQueryShapesFile(const QString& path);

// The same data with Graduate written as a plain table and no stored queries.
void writeGraduateTableFile(const QString& path);

// The same tables with Graduate a stored query whose join rows close a ring: Graduates,
// Programme and Programme again joined in a circle, all inner (`outer` false; rows come out) or
// with a left join in the ring (`outer` true; refused as ambiguous).
void writeJoinRingFile(const QString& path, bool outer);

// The same tables with Graduate the top of a chain of 31 stored queries, each a UNION ALL of
// the one below it and a few graduates, as deep as stored queries may use one another.
void writeUnionChainFile(const QString& path);

// Gives every query run in this process 2 seconds and 512 MiB, so that many inputs run;
// scripts/fuzz-regression sets libFuzzer's own timeout and memory limit just above these, so
// a query that gets past them is reported.
void limitQueries();

} // namespace convodesk::fuzz
