#!/usr/bin/env node
// Writes a magnetic variation table in the layout FS2004's magdec.bgl uses, with
// declinations from the World Magnetic Model, for the demo simulator folder.
//
//   node make-magdec.js [--epoch YYYY-MM-DD] [--out FILE]
//
// Layout written:
//   0..135   header: a version word (1) at 0; at 128 the grid description:
//            columns (uint16 360), rows (uint16 181), day, month (one byte each),
//            year in BCD (uint16, 0x2026 for 2026); every other byte zero
//   136..    360 columns x 181 rows of int16 little endian, column-major:
//            column = whole degrees east of Greenwich 0..359,
//            row = whole degrees of latitude + 90 (row 0 = 90S, row 180 = 90N),
//            raw = declination in degrees x 65536/360, rounded half to even,
//            east positive
//   end      12 zero bytes, the length of FS2004's own trailing block, so the file
//            has the size of the simulator's original (130468 bytes)
//
// The declination is taken at altitude 0 on the WGS-84 ellipsoid at 00:00 UTC of
// the epoch date.

'use strict';

const fs = require('fs');
const path = require('path');
const crypto = require('crypto');
const geomagnetism = require('geomagnetism');

const COLUMNS = 360;
const ROWS = 181;
const HEADER_SIZE = 136;
const TAIL_SIZE = 12;
const GRID_DESCRIPTION = 128;

function parseArgs(argv) {
    const options = {
        epoch: '2026-01-01',
        out: path.join(__dirname, '..', '..', 'data', 'fs9', 'Scenery', 'BASE', 'Scenery', 'magdec.bgl'),
    };
    for (let i = 0; i < argv.length; ++i) {
        const arg = argv[i];
        if ((arg === '--epoch' || arg === '--out') && i + 1 < argv.length) {
            options[arg.slice(2)] = argv[++i];
        } else {
            throw new Error(`unknown argument ${arg}; usage: make-magdec.js [--epoch YYYY-MM-DD] [--out FILE]`);
        }
    }
    const match = /^(\d{4})-(\d{2})-(\d{2})$/.exec(options.epoch);
    if (!match)
        throw new Error(`the epoch must read YYYY-MM-DD, not ${options.epoch}`);
    options.year = Number(match[1]);
    options.month = Number(match[2]);
    options.day = Number(match[3]);
    options.date = new Date(Date.UTC(options.year, options.month - 1, options.day));
    if (options.date.getUTCMonth() !== options.month - 1 || options.date.getUTCDate() !== options.day)
        throw new Error(`${options.epoch} is not a calendar date`);
    return options;
}

// Halves go to the even neighbour, as everywhere else in Kalyx; Math.round would
// send them up.
function roundHalfEven(value) {
    const floor = Math.floor(value);
    const diff = value - floor;
    if (diff > 0.5)
        return floor + 1;
    if (diff < 0.5)
        return floor;
    return floor % 2 === 0 ? floor : floor + 1;
}

// The table's 16-bit range spans -180 up to just below +180 degrees; +180 is the
// same direction as -180.
function rawEntry(declination) {
    let raw = roundHalfEven(declination * 65536 / 360);
    if (raw >= 32768)
        raw -= 65536;
    if (raw < -32768)
        raw += 65536;
    return raw;
}

function bcd(value) {
    let result = 0;
    let shift = 0;
    do {
        result |= (value % 10) << shift;
        value = Math.floor(value / 10);
        shift += 4;
    } while (value > 0);
    return result;
}

function declinationAt(model, latitude, longitude) {
    // The model takes longitudes in -180..180.
    const lon = longitude > 180 ? longitude - 360 : longitude;
    const decl = model.point([latitude, lon, 0]).decl;
    if (!Number.isFinite(decl))
        throw new Error(`no declination at ${latitude}, ${longitude}`);
    return decl;
}

function buildTable(model, options) {
    const bytes = Buffer.alloc(HEADER_SIZE + COLUMNS * ROWS * 2 + TAIL_SIZE);
    bytes.writeUInt32LE(1, 0);
    bytes.writeUInt16LE(COLUMNS, GRID_DESCRIPTION);
    bytes.writeUInt16LE(ROWS, GRID_DESCRIPTION + 2);
    bytes.writeUInt8(options.day, GRID_DESCRIPTION + 4);
    bytes.writeUInt8(options.month, GRID_DESCRIPTION + 5);
    bytes.writeUInt16LE(bcd(options.year), GRID_DESCRIPTION + 6);
    for (let column = 0; column < COLUMNS; ++column) {
        for (let row = 0; row < ROWS; ++row) {
            const raw = rawEntry(declinationAt(model, row - 90, column));
            bytes.writeInt16LE(raw, HEADER_SIZE + 2 * (column * ROWS + row));
        }
    }
    return bytes;
}

// The value Kalyx reads back for a whole-degree node, rounded to 0.1 as it does.
function readBack(bytes, latitude, longitude) {
    const column = ((longitude % 360) + 360) % 360;
    const row = latitude + 90;
    const raw = bytes.readInt16LE(HEADER_SIZE + 2 * (column * ROWS + row));
    return roundHalfEven(raw * 360 / 65536 * 10) / 10;
}

function main() {
    const options = parseArgs(process.argv.slice(2));
    const model = geomagnetism.model(options.date);
    const bytes = buildTable(model, options);

    fs.mkdirSync(path.dirname(options.out), { recursive: true });
    const temporary = options.out + '.tmp';
    fs.writeFileSync(temporary, bytes);
    fs.renameSync(temporary, options.out);

    const sha256 = crypto.createHash('sha256').update(bytes).digest('hex');
    const modelPackage = require('geomagnetism/package.json');
    console.log(`model      ${model.name || 'WMM'} (epoch ${model.epoch}), ${modelPackage.name} ${modelPackage.version}`);
    console.log(`date       ${options.epoch} 00:00 UTC, altitude 0`);
    console.log(`written    ${options.out}`);
    console.log(`size       ${bytes.length} bytes`);
    console.log(`sha256     ${sha256}`);
    console.log(`Moscow     N56 E038: ${readBack(bytes, 56, 38)}`);
    console.log(`New York   N41 W074: ${readBack(bytes, 41, -74)}`);
}

try {
    main();
} catch (error) {
    console.error(`make-magdec: ${error.message}`);
    process.exit(1);
}
