// Reads an ADIF file with adif-parser-ts (another project's reader) and
// prints what it found as JSON: node readadif.js MODULE_DIR FILE [--time]
'use strict';
const path = require('path');
const fs = require('fs');

const [moduleDir, file, option] = process.argv.slice(2);
const { AdifParser } = require(path.join(moduleDir, 'node_modules', 'adif-parser-ts'));

const started = process.hrtime.bigint();
// latin1 keeps one character per byte, as the file's lengths count them.
const parsed = AdifParser.parseAdi(fs.readFileSync(file, 'latin1'));
const seconds = Number(process.hrtime.bigint() - started) / 1e9;

if (option === '--time') {
    console.log(JSON.stringify({ count: parsed.records.length, seconds }));
} else {
    const fields = ['call', 'qso_date', 'time_on', 'band', 'mode', 'rst_rcvd', 'rst_sent'];
    const records = parsed.records.map((r) => Object.fromEntries(fields.map((f) => [f, r[f] ?? null])));
    console.log(JSON.stringify({ count: records.length, records }));
}
