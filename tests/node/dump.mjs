// Prints the user tables of a Jet 4 file as JSON, read with the npm package mdb-reader:
// {"tables": [names], "data": {name: {"columns": [{"name", "type"}], "rowCount": n, "rows": [[...]]}}}
// Values stay exact: null is kept, dates are ISO 8601 (UTC), currency is mdb-reader's exact text,
// binary data is hex. Usage: node dump.mjs FILE [TABLE...]
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

function plain(value) {
  if (value === null || value === undefined) return null;
  if (value instanceof Date) return value.toISOString();
  if (Buffer.isBuffer(value)) return value.toString("hex");
  return value;
}

const [file, ...wanted] = process.argv.slice(2);
if (!file) {
  console.error("usage: node dump.mjs FILE [TABLE...]");
  process.exit(2);
}
const reader = new MDBReader(readFileSync(file));
const tables = reader.getTableNames();
const data = {};
for (const name of wanted.length ? wanted : tables) {
  const table = reader.getTable(name);
  const columns = table.getColumns().map((c) => ({ name: c.name, type: c.type }));
  const rows = table.getData().map((row) => columns.map((c) => plain(row[c.name])));
  data[name] = { columns, rowCount: table.rowCount, rows };
}
process.stdout.write(JSON.stringify({ tables, data }));
